#pragma once
#include "tools/demodata/audio/Score.h"

namespace demoaudio {

// The game's seven pieces, each a loop of two minutes or more.
Score menuMusic();           // the menus: sunny pop, F major
Score carParkMusic();        // multi-storey car park: dark electro, D minor
Score shoppingCentreMusic(); // shopping centre: disco with mall chimes, B flat major
Score parkMusic();           // park: plucked strings and flute, D major
Score openCarParkMusic();    // car park in the open: rock, E minor
Score housingEstateMusic();  // housing estate: laid-back hip-hop, C minor
Score countryRoadMusic();    // country road: train-beat country, G major

} // namespace demoaudio
