/* Resource ids of the Windows program (the resource script and the window read them). */
#ifndef ZANPROBE_RESOURCES_H
#define ZANPROBE_RESOURCES_H

#define ZP_IDI_ICON 1     /* the window's 16 x 16, 256-colour icon */
#define ZP_IDR_LAYOUT 200 /* the control table: rows of eight 16-bit numbers, see FormLayout.h */

#endif
