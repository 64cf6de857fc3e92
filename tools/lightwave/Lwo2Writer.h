#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/lightwave/IffBuffer.h"
#include "tools/lightwave/Lwo2Object.h"

// Writes LWO2 object files: a whole Lwo2Object in LightWave's chunk order, or
// chunk by chunk in any order the caller wants (tests build broken files so).
class Lwo2Writer {
public:
    explicit Lwo2Writer(std::string formType = "LWO2") : m_formType(std::move(formType)) {}

    void writeObject(const Lwo2Object& object);

    void writeTags(const std::vector<std::string>& tags);
    void writeLayerHeader(const Lwo2Layer& layer); // LAYR only
    void writeLayer(const Lwo2Layer& layer);       // LAYR and the chunks of the layer
    void writePoints(const std::vector<std::array<float, 3>>& points);
    void writePolygons(const Lwo2PolygonList& list);
    void writePolygonTags(const Lwo2PolygonTags& tags);
    void writeVertexMap(const Lwo2VertexMap& map); // VMAP or VMAD
    void writeEnvelope(const Lwo2Envelope& envelope);
    void writeClip(const Lwo2Clip& clip);
    void writeSurface(const Lwo2Surface& surface);
    void writeRawChunk(const Lwo2Raw& chunk);

    // The file: "FORM", its size (or `declaredFormSize`), the form type and the chunks.
    std::vector<uint8_t> bytes(std::optional<uint32_t> declaredFormSize = std::nullopt) const;
    bool save(const std::string& path, std::string& error) const;

private:
    void raw(const Lwo2Raw& piece, int sizeBytes);
    void value(const Lwo2Value& v);
    void valueChunk(const std::string& id, const Lwo2Value& v);
    void u2Chunk(const std::string& id, uint16_t v);
    void s0Chunk(const std::string& id, const std::string& text);
    void textureVector(const std::string& id, const Lwo2TextureVector& v);
    void block(const Lwo2Block& b);
    void blockHeader(const Lwo2Block& b);
    void textureMap(const Lwo2TextureMap& map);

    std::string m_formType;
    IffBuffer m_out;
};
