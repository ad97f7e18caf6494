/* Resource ids of the Windows program (the resource script and the window read them). */
#ifndef ZANPROBE_RESOURCES_H
#define ZANPROBE_RESOURCES_H

#define ZP_IDI_ICON 1     /* the icon: 16, 24, 32, 48 and 256 pixels */
#define ZP_IDR_LAYOUT 200 /* the control table: rows of eight 16-bit numbers, see FormLayout.h */

#endif
