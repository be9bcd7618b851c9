#include "bundle/program_bundles.h"

VFBUNDLE theImageBundle;
VFBUNDLE theSkinBundle;
