// Exports with fixed answers.
#include "canvasport/canvasport.h"

extern "C" {

float canvasport_compose_get_screen_density(void)
{
    return 3.25f;
}

bool enableRuntimeLogs(void)
{
    return false;
}

void kotlin_native_plume_hook(void) {}

void kotlin_native_plume_Throw(void) {}

}  // extern "C"
