// The one home of the stb decoder and resampler that the imaging layer uses
// (image_data.cpp). Only PNG and BMP are compiled in (JPEG goes through
// libjpeg), which also keeps the decoder's attack surface small; files are
// read by our own code, so stb's stdio layer stays out.
//
// The headers come in through a system include directory, so their own
// warnings stay quiet without touching the project's warning flags.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
// A second fence behind the layer's own size check.
#define STBI_MAX_DIMENSIONS 16384
#include <stb_image.h>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STBIR_DEFAULT_FILTER_DOWNSAMPLE STBIR_FILTER_MITCHELL
#define STBIR_DEFAULT_FILTER_UPSAMPLE STBIR_FILTER_CATMULLROM
#include <stb_image_resize.h>
