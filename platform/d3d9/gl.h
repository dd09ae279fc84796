// OpenGL 4.5 core declarations for the device (entry points come from libOpenGL,
// which dispatches to the current context), and the debug-build error check.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

namespace glintwork {

// Reports every pending GL error, naming the call that raised it. Debug builds only.
void checkGl(const char *call, const char *file, int line);

}  // namespace glintwork

#ifdef NDEBUG
#define GL_CHECKED(call) call
#else
#define GL_CHECKED(call)                              \
  do {                                                \
    call;                                             \
    ::glintwork::checkGl(#call, __FILE__, __LINE__);  \
  } while (0)
#endif
