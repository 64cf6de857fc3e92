#pragma once
#include "tools/guidata/ImagesetBuilder.h"

// The splash screen's six language buttons: "Flag" + DE, EN, FR, SP, IT, RU,
// each as "_Normal" and "_Hover", 120 x 102 like the buttons.
ImagesetBuilder flagImageset();
