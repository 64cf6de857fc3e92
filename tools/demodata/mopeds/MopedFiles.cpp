#include "tools/demodata/mopeds/MopedFiles.h"

#include "tools/demodata/mopeds/MopedDesign.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/RiderFigure.h"
#include "tools/lightwave/Lwo2Writer.h"

namespace {

// "D:\Vantorik/x\y" is kept as "Vantorik/x/y".
std::string diskNameOf(const std::string& archiveName) {
    std::string name = archiveName.substr(3);
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

std::string bytesOf(const Lwo2Object& object) {
    Lwo2Writer writer;
    writer.writeObject(object);
    std::vector<uint8_t> bytes = writer.bytes();
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

std::vector<MopedFile> mopedFiles() {
    std::vector<MopedFile> files;
    auto add = [&files](const std::string& name, std::string bytes) {
        files.push_back({name, diskNameOf(name), 3, std::move(bytes)});
    };
    for (int model = 0; model < MopedNames::MODELS; ++model) {
        const MopedDesign design = mopedDesign(model);
        for (int colour = 0; colour < MopedNames::COLOURS; ++colour)
            add(MopedNames::mopedObject(model, colour), bytesOf(design.object(colour)));
        const int rider = MopedNames::RIDER_OF_MODEL[model];
        add(MopedNames::riderObject(rider), bytesOf(RiderFigure(riderBuild(rider), design).object()));
    }
    return files;
}
