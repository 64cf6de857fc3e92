#include "tools/demodata/mopeds/MopedDesign.h"
MopedDesign kreidler() { return hercules(); }
MopedDesign roller() { return hercules(); }
MopedDesign vespa() { return hercules(); }
MopedDesign yamaha() { return hercules(); }
