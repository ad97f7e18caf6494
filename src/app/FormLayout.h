/* The main window's layout: caption, controls, geometry and texts, shared by every view and by
   the Windows resource script (so only preprocessor definitions here).

   Geometry is in twips (1/1440 inch), relative to the containing control. A row is: control id,
   kind, container id (0: the window itself), left, top, width, height, tab index. Controls of a
   container are created in tab order, which is also their order for the Tab key. */
#ifndef ZANPROBE_FORM_LAYOUT_H
#define ZANPROBE_FORM_LAYOUT_H

#define ZP_CAPTION "Zandorel Diagnostic Tools for MRL 7.X"
#define ZP_MESSAGE_TITLE "Zanprobe 7"

/* The client area in twips (567 x 262 pixels at 96 dots per inch). */
#define ZP_CLIENT_WIDTH 8505
#define ZP_CLIENT_HEIGHT 3930

/* The window font: Tahoma 8.25 pt, regular; the size in hundredths of a point. */
#define ZP_FONT_FACE "Tahoma"
#define ZP_FONT_CENTIPOINTS 825

/* Kinds of control. */
#define ZP_KIND_CONTAINER 1 /* a frame without border: only holds and clips its controls */
#define ZP_KIND_RULE 2      /* a frame with border wider than its container: shows as a rule */
#define ZP_KIND_BUTTON 3
#define ZP_KIND_LABEL 4
#define ZP_KIND_CHECKBOX 5

/* Control ids. */
#define ZP_ID_FRAME_DIAGNOSTIC_TESTS 1000
#define ZP_ID_FRAME1 1001
#define ZP_ID_RUN_TESTS 1002
#define ZP_ID_LABEL3 1003
#define ZP_ID_LABEL2 1004
#define ZP_ID_STATUS 1005
#define ZP_ID_FRAME2 1006
#define ZP_ID_RUNTIME_LOGGING 1007
#define ZP_ID_FRAME3 1008
#define ZP_ID_LABEL5 1009
#define ZP_ID_LABEL4 1010

#define ZP_CONTROL_COUNT 11

/* The rows, in the order of the table of the window's design. */
#define ZP_ROW_FRAME_DIAGNOSTIC_TESTS                                                              \
    ZP_ID_FRAME_DIAGNOSTIC_TESTS, ZP_KIND_CONTAINER, 0, 120, 150, 8205, 2025, 0
#define ZP_ROW_FRAME1                                                                              \
    ZP_ID_FRAME1, ZP_KIND_RULE, ZP_ID_FRAME_DIAGNOSTIC_TESTS, -120, 210, 8745, 120, 3
#define ZP_ROW_RUN_TESTS                                                                           \
    ZP_ID_RUN_TESTS, ZP_KIND_BUTTON, ZP_ID_FRAME_DIAGNOSTIC_TESTS, 240, 990, 1425, 375, 1
#define ZP_ROW_LABEL3                                                                              \
    ZP_ID_LABEL3, ZP_KIND_LABEL, ZP_ID_FRAME_DIAGNOSTIC_TESTS, 240, 390, 8025, 465, 5
#define ZP_ROW_LABEL2 ZP_ID_LABEL2, ZP_KIND_LABEL, ZP_ID_FRAME_DIAGNOSTIC_TESTS, 0, 0, 1785, 345, 4
#define ZP_ROW_STATUS                                                                              \
    ZP_ID_STATUS, ZP_KIND_LABEL, ZP_ID_FRAME_DIAGNOSTIC_TESTS, 1830, 990, 6195, 915, 2
#define ZP_ROW_FRAME2 ZP_ID_FRAME2, ZP_KIND_CONTAINER, 0, 120, 2130, 8205, 1545, 6
#define ZP_ROW_RUNTIME_LOGGING                                                                     \
    ZP_ID_RUNTIME_LOGGING, ZP_KIND_CHECKBOX, ZP_ID_FRAME2, 240, 1140, 5445, 255, 10
#define ZP_ROW_FRAME3 ZP_ID_FRAME3, ZP_KIND_RULE, ZP_ID_FRAME2, -120, 210, 8955, 120, 7
#define ZP_ROW_LABEL5 ZP_ID_LABEL5, ZP_KIND_LABEL, ZP_ID_FRAME2, 0, 0, 1785, 345, 9
#define ZP_ROW_LABEL4 ZP_ID_LABEL4, ZP_KIND_LABEL, ZP_ID_FRAME2, 240, 390, 8025, 735, 8

/* Texts; containers and rules show none, the status label starts empty. */
#define ZP_TEXT_RUN_TESTS "&Run Tests" /* Alt+R */
#define ZP_TEXT_LABEL2 "Diagnostic Tests"
#define ZP_TEXT_LABEL3                                                                             \
    "Clicking the button below will run a set of queries on your system, and tests of various "    \
    "Zandorel software components.  It will generate an output file which you can then send to "   \
    "Zandorel via email."
#define ZP_TEXT_RUNTIME_LOGGING "Enable Runtime Logging of Mirandel Applications"
#define ZP_TEXT_LABEL5 "Runtime Logging"
#define ZP_TEXT_LABEL4                                                                             \
    "Enabling Runtime logging will cause Zandorel software to generate detailed information "      \
    "while it is running.  This can be helpful in identifying problems that are not caught in "    \
    "the diagnostic tests.  Runtime logging, however, can slow down the software considerably "    \
    "and should be turned off once any issues have been resolved."

#endif
