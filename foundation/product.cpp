#include "foundation/product.h"

const char kProductName[] = "Zelvora: Quorrin";
const char kVersionNumber[] = "1.071";
