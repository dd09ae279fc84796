# Writes C_FILE: the bytes of the compiled resource file RES_FILE and a
# constructor that registers them with the layer before main() runs.
# Run as: cmake -DRES_FILE=.. -DC_FILE=.. -DSYMBOL=.. -P GlintworkEmbedResources.cmake
file(READ ${RES_FILE} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n  " bytes "${bytes}")
string(MAKE_C_IDENTIFIER "${SYMBOL}" symbol)
file(WRITE ${C_FILE} "/* Generated from ${RES_FILE}; do not edit. */
#include <stddef.h>

int glintworkRegisterResources(const unsigned char *bytes, size_t size);

static const unsigned char glintwork_res_${symbol}[${size}] = {
  ${bytes}
};

__attribute__((constructor)) static void glintwork_register_${symbol}(void) {
  glintworkRegisterResources(glintwork_res_${symbol}, sizeof glintwork_res_${symbol});
}
")
