// The picture decoder the program uses, built once for the lint.
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
