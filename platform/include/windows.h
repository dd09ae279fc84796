/* The Win32 subset Glintwork calls (USER32, KERNEL32), for non-Windows hosts.
 * Declarations written from the documented API; only what the program uses. */
#ifndef GLINTWORK_WINDOWS_H
#define GLINTWORK_WINDOWS_H

#include "windef.h"

#endif
