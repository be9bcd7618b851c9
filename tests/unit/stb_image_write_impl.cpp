// stb's encoders, for tests that need JPEG and PNG input made on the spot.
// The program itself writes only BMP, with its own code.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>
