#include <iostream>
#include <string>

#include "tools/lightwave/LwsDemoScene.h"
#include "tools/lightwave/LwsWriter.h"

int main(int argc, char** argv) {
    if (argc != 3 || std::string(argv[1]) != "demo") {
        std::cerr << "usage: lws-write demo OUT.lws   writes the demo scene (it loads objects/cube.lwo)\n";
        return 2;
    }
    std::string error;
    if (!LwsWriter().save(lwsDemoScene(), argv[2], error)) {
        std::cerr << "lws-write: " << error << "\n";
        return 1;
    }
    return 0;
}
