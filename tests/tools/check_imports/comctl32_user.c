/* A program whose only import is one comctl32.dll function, for the tests of
   tools/check-imports: InitCommonControls (in every version of the library)
   or, with NEWER_THAN_4_00, InitCommonControlsEx (4.70 and later). It is
   never run. */
#include <windows.h>
#include <commctrl.h>

void Start(void)
{
#ifdef NEWER_THAN_4_00
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
#else
    InitCommonControls();
#endif
}
