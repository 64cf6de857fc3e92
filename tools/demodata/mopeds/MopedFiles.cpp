#include "tools/demodata/mopeds/MopedFiles.h"

#include <future>

#include "tools/demodata/mopeds/ExtraObjects.h"
#include "tools/demodata/mopeds/MopedDesign.h"
#include "tools/demodata/mopeds/MopedLivery.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/MopedScenes.h"
#include "tools/demodata/mopeds/MopedSettings.h"
#include "tools/demodata/mopeds/RiderFigure.h"
#include "tools/demodata/mopeds/RiderLivery.h"
#include "tools/lightwave/Lwo2Writer.h"

MopedFile mopedFile(const std::string& archiveName, std::string bytes) {
    // "D:\Vantorik/x\y" is kept as "Vantorik/x/y".
    std::string disk = archiveName.substr(3);
    for (char& c : disk)
        if (c == '\\') c = '/';
    return {archiveName, disk, 3, std::move(bytes)};
}

std::string lwo2Bytes(const Lwo2Object& object) {
    Lwo2Writer writer;
    writer.writeObject(object);
    std::vector<uint8_t> bytes = writer.bytes();
    return std::string(bytes.begin(), bytes.end());
}

namespace {

// One model's four colours, their pictures, its rider and the rider's picture.
std::vector<MopedFile> modelFiles(int model) {
    std::vector<MopedFile> files;
    auto add = [&files](const std::string& name, std::string bytes) { files.push_back(mopedFile(name, std::move(bytes))); };
    const MopedDesign& design = mopedDesign(model);
    for (int colour = 0; colour < MopedNames::COLOURS; ++colour) {
        Lwo2Object object = design.object(colour);
        MopedLivery::apply(object, model, colour);
        add(MopedNames::mopedObject(model, colour), lwo2Bytes(object));
        add(MopedLivery::pictureName(model, colour), MopedLivery::picture(model, colour));
        Lwo2Object far = mopedDesign(model, true).object(colour);
        MopedLivery::apply(far, model, colour);
        for (const Lwo2Layer& layer : far.layers) {
            Lwo2Object alone = far;
            alone.layers = {layer};
            alone.layers[0].number = 0;
            add(MopedNames::farMopedObject(model, colour, layer.number), lwo2Bytes(alone));
        }
    }
    const int rider = MopedNames::RIDER_OF_MODEL[model];
    add(MopedNames::riderObject(rider), lwo2Bytes(riderFigure(rider).object()));
    add(RiderLivery::pictureName(rider), RiderLivery::picture(rider));
    return files;
}

} // namespace

std::vector<MopedFile> mopedFiles() {
    // The models are made side by side; the files keep their order.
    std::vector<std::future<std::vector<MopedFile>>> models;
    for (int model = 0; model < MopedNames::MODELS; ++model)
        models.push_back(std::async(std::launch::async, modelFiles, model));
    std::vector<MopedFile> files;
    for (auto& model : models)
        for (MopedFile& file : model.get()) files.push_back(std::move(file));
    files.push_back(mopedFile(MopedLivery::CHROME_PICTURE, MopedLivery::chromePicture()));
    for (MopedFile& file : extraObjectFiles()) files.push_back(std::move(file));
    for (MopedFile& file : mopedSceneFiles()) files.push_back(std::move(file));
    for (MopedFile& file : mopedSettingsFiles()) files.push_back(std::move(file));
    return files;
}
