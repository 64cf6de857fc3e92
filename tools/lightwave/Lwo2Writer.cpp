#include "tools/lightwave/Lwo2Writer.h"

#include <fstream>

void Lwo2Writer::writeObject(const Lwo2Object& object) {
    if (!object.tags.empty()) writeTags(object.tags);
    for (const Lwo2Layer& layer : object.layers) writeLayer(layer);
    for (const Lwo2Envelope& envelope : object.envelopes) writeEnvelope(envelope);
    for (const Lwo2Clip& clip : object.clips) writeClip(clip);
    for (const Lwo2Surface& surface : object.surfaces) writeSurface(surface);
    for (const Lwo2Raw& chunk : object.extra) writeRawChunk(chunk);
}

void Lwo2Writer::writeTags(const std::vector<std::string>& tags) {
    m_out.beginChunk("TAGS", 4);
    for (const std::string& tag : tags) m_out.s0(tag);
    m_out.endChunk();
}

void Lwo2Writer::writeLayerHeader(const Lwo2Layer& layer) {
    m_out.beginChunk("LAYR", 4);
    m_out.u2(layer.number);
    m_out.u2(layer.flags);
    for (float p : layer.pivot) m_out.f4(p);
    m_out.s0(layer.name);
    if (layer.parent) m_out.u2(*layer.parent);
    m_out.endChunk();
}

void Lwo2Writer::writeLayer(const Lwo2Layer& layer) {
    writeLayerHeader(layer);
    if (!layer.points.empty()) writePoints(layer.points);
    for (const Lwo2VertexMap& map : layer.vertexMaps)
        if (!map.discontinuous) writeVertexMap(map);
    for (const Lwo2PolygonList& list : layer.polygonLists) writePolygons(list);
    for (const Lwo2PolygonTags& tags : layer.polygonTags) writePolygonTags(tags);
    for (const Lwo2VertexMap& map : layer.vertexMaps)
        if (map.discontinuous) writeVertexMap(map);
    for (const Lwo2Raw& chunk : layer.extra) writeRawChunk(chunk);
}

void Lwo2Writer::writePoints(const std::vector<std::array<float, 3>>& points) {
    m_out.beginChunk("PNTS", 4);
    for (const auto& p : points)
        for (float c : p) m_out.f4(c);
    m_out.endChunk();
}

void Lwo2Writer::writePolygons(const Lwo2PolygonList& list) {
    m_out.beginChunk("POLS", 4);
    m_out.id4(list.type);
    for (const Lwo2Polygon& polygon : list.polygons) {
        m_out.u2(static_cast<uint16_t>((polygon.points.size() & 0x3FF) | (polygon.flags << 10)));
        for (uint32_t point : polygon.points) m_out.vx(point);
    }
    m_out.endChunk();
}

void Lwo2Writer::writePolygonTags(const Lwo2PolygonTags& tags) {
    m_out.beginChunk("PTAG", 4);
    m_out.id4(tags.type);
    for (const Lwo2PolygonTag& tag : tags.tags) {
        m_out.vx(tag.polygon);
        m_out.u2(tag.tag);
    }
    m_out.endChunk();
}

void Lwo2Writer::writeVertexMap(const Lwo2VertexMap& map) {
    m_out.beginChunk(map.discontinuous ? "VMAD" : "VMAP", 4);
    m_out.id4(map.type);
    uint16_t dimension = map.dimension   ? *map.dimension
                         : map.entries.empty() ? 0
                                               : static_cast<uint16_t>(map.entries.front().values.size());
    m_out.u2(dimension);
    m_out.s0(map.name);
    for (const Lwo2MapEntry& entry : map.entries) {
        m_out.vx(entry.point);
        if (map.discontinuous) m_out.vx(entry.polygon);
        for (float v : entry.values) m_out.f4(v);
    }
    m_out.endChunk();
}

void Lwo2Writer::writeEnvelope(const Lwo2Envelope& envelope) {
    m_out.beginChunk("ENVL", 4);
    m_out.u2(envelope.index);
    if (envelope.type) u2Chunk("TYPE", *envelope.type);
    if (envelope.preBehaviour) u2Chunk("PRE ", *envelope.preBehaviour);
    if (envelope.postBehaviour) u2Chunk("POST", *envelope.postBehaviour);
    for (const Lwo2EnvelopeKey& key : envelope.keys) {
        m_out.beginChunk("KEY ", 2);
        m_out.f4(key.time);
        m_out.f4(key.value);
        m_out.endChunk();
        if (key.curve.empty()) continue;
        m_out.beginChunk("SPAN", 2);
        m_out.id4(key.curve);
        for (float p : key.parameters) m_out.f4(p);
        m_out.endChunk();
    }
    if (envelope.name) s0Chunk("NAME", *envelope.name);
    for (const Lwo2Raw& sub : envelope.extra) raw(sub, 2);
    m_out.endChunk();
}

void Lwo2Writer::writeClip(const Lwo2Clip& clip) {
    m_out.beginChunk("CLIP", 4);
    m_out.u4(clip.index);
    if (clip.still) s0Chunk("STIL", *clip.still);
    if (clip.sequence) {
        const Lwo2ImageSequence& s = *clip.sequence;
        m_out.beginChunk("ISEQ", 2);
        m_out.u1(s.digits);
        m_out.u1(s.flags);
        m_out.u2(s.offset);
        m_out.u2(s.reserved);
        m_out.u2(s.start);
        m_out.u2(s.end);
        m_out.s0(s.prefix);
        m_out.s0(s.suffix);
        m_out.endChunk();
    }
    if (clip.reference) {
        m_out.beginChunk("XREF", 2);
        m_out.u4(clip.reference->clip);
        m_out.s0(clip.reference->name);
        m_out.endChunk();
    }
    if (clip.flags) {
        m_out.beginChunk("FLAG", 2);
        m_out.u4(*clip.flags);
        m_out.endChunk();
    }
    if (clip.time) {
        m_out.beginChunk("TIME", 2);
        m_out.f4(clip.time->start);
        m_out.f4(clip.time->duration);
        m_out.f4(clip.time->rate);
        m_out.u4(0);
        m_out.u4(0);
        m_out.endChunk();
    }
    if (clip.alphaMode) u2Chunk("AMOD", *clip.alphaMode);
    if (clip.negative) u2Chunk("NEGA", *clip.negative);
    if (clip.hue) valueChunk("HUE ", *clip.hue);
    if (clip.brightness) valueChunk("BRIT", *clip.brightness);
    if (clip.contrast) valueChunk("CONT", *clip.contrast);
    if (clip.saturation) valueChunk("SATR", *clip.saturation);
    if (clip.gamma) valueChunk("GAMM", *clip.gamma);
    if (clip.filter) s0Chunk("IFLT", *clip.filter);
    for (const Lwo2Raw& sub : clip.extra) raw(sub, 2);
    m_out.endChunk();
}

void Lwo2Writer::writeSurface(const Lwo2Surface& surface) {
    m_out.beginChunk("SURF", 4);
    m_out.s0(surface.name);
    m_out.s0(surface.source);
    if (surface.color) {
        m_out.beginChunk("COLR", 2);
        for (float c : surface.color->rgb) m_out.f4(c);
        m_out.u2(surface.color->envelope);
        m_out.endChunk();
    }
    for (const Lwo2NamedValue& v : surface.values) valueChunk(v.id, v.value);
    if (surface.smoothingAngle) {
        m_out.beginChunk("SMAN", 2);
        m_out.f4(*surface.smoothingAngle);
        m_out.endChunk();
    }
    if (surface.sidedness) u2Chunk("SIDE", *surface.sidedness);
    if (surface.reflectionOptions) u2Chunk("RFOP", *surface.reflectionOptions);
    if (surface.reflectionImage) u2Chunk("RIMG", *surface.reflectionImage);
    if (surface.transparencyImage) u2Chunk("TIMG", *surface.transparencyImage);
    if (surface.transparencyOptions) u2Chunk("TROP", *surface.transparencyOptions);
    if (surface.backSurface) s0Chunk("back", *surface.backSurface);
    for (const Lwo2VertexColor& vc : surface.vertexColors) {
        m_out.beginChunk("VCOL", 2);
        value(vc.opacity);
        m_out.id4(vc.mapType);
        m_out.s0(vc.mapName);
        m_out.endChunk();
    }
    for (const Lwo2Block& b : surface.blocks) block(b);
    for (const Lwo2Raw& sub : surface.extra) raw(sub, 2);
    m_out.endChunk();
}

void Lwo2Writer::writeRawChunk(const Lwo2Raw& chunk) { raw(chunk, 4); }

void Lwo2Writer::block(const Lwo2Block& b) {
    m_out.beginChunk("BLOK", 2);
    blockHeader(b);
    if (b.textureMap) textureMap(*b.textureMap);
    if (b.projection) u2Chunk("PROJ", *b.projection);
    if (b.axis) u2Chunk("AXIS", *b.axis);
    if (b.image) u2Chunk("IMAG", *b.image);
    if (b.wrap) {
        m_out.beginChunk("WRAP", 2);
        m_out.u2((*b.wrap)[0]);
        m_out.u2((*b.wrap)[1]);
        m_out.endChunk();
    }
    if (b.wrapWidth) valueChunk("WRPW", *b.wrapWidth);
    if (b.wrapHeight) valueChunk("WRPH", *b.wrapHeight);
    if (b.antialiasFlags) {
        m_out.beginChunk("AAST", 2);
        m_out.u2(*b.antialiasFlags);
        m_out.f4(b.antialiasStrength);
        m_out.endChunk();
    }
    if (b.pixelBlending) u2Chunk("PIXB", *b.pixelBlending);
    if (b.vertexMap) s0Chunk("VMAP", *b.vertexMap);
    if (b.amplitude) valueChunk("TAMP", *b.amplitude);
    if (b.gradientInput) s0Chunk("PNAM", *b.gradientInput);
    if (b.itemName) s0Chunk("INAM", *b.itemName);
    if (b.gradientStart) {
        m_out.beginChunk("GRST", 2);
        m_out.f4(*b.gradientStart);
        m_out.endChunk();
    }
    if (b.gradientEnd) {
        m_out.beginChunk("GREN", 2);
        m_out.f4(*b.gradientEnd);
        m_out.endChunk();
    }
    if (!b.gradientKeys.empty()) {
        m_out.beginChunk("FKEY", 2);
        for (const Lwo2GradientKey& key : b.gradientKeys) {
            m_out.f4(key.input);
            for (float c : key.rgba) m_out.f4(c);
        }
        m_out.endChunk();
    }
    if (!b.gradientInterpolations.empty()) {
        m_out.beginChunk("IKEY", 2);
        for (uint16_t i : b.gradientInterpolations) m_out.u2(i);
        m_out.endChunk();
    }
    for (const Lwo2Raw& entry : b.extra) raw(entry, 2);
    m_out.endChunk();
}

void Lwo2Writer::blockHeader(const Lwo2Block& b) {
    m_out.beginChunk(b.type, 2);
    m_out.s0(b.ordinal);
    m_out.beginChunk("CHAN", 2);
    m_out.id4(b.channel);
    m_out.endChunk();
    if (b.enabled) u2Chunk("ENAB", *b.enabled);
    if (b.negative) u2Chunk("NEGA", *b.negative);
    if (b.opacity) {
        m_out.beginChunk("OPAC", 2);
        m_out.u2(b.opacity->type);
        value(b.opacity->value);
        m_out.endChunk();
    }
    for (const auto& [id, v] : {std::make_pair("rgbl", b.rgbl), std::make_pair("rgbo", b.rgbo)}) {
        if (!v) continue;
        m_out.beginChunk(id, 2);
        m_out.f4(*v);
        m_out.endChunk();
    }
    if (b.clamp) u2Chunk("clmp", *b.clamp);
    for (const Lwo2Raw& entry : b.headerExtra) raw(entry, 2);
    m_out.endChunk();
}

void Lwo2Writer::textureMap(const Lwo2TextureMap& map) {
    m_out.beginChunk("TMAP", 2);
    if (map.center) textureVector("CNTR", *map.center);
    if (map.size) textureVector("SIZE", *map.size);
    if (map.rotation) textureVector("ROTA", *map.rotation);
    if (map.matrix) {
        m_out.beginChunk("m4x3", 2);
        for (float v : *map.matrix) m_out.f4(v);
        m_out.endChunk();
    }
    for (const Lwo2Raw& entry : map.extra) raw(entry, 2);
    m_out.endChunk();
}

void Lwo2Writer::textureVector(const std::string& id, const Lwo2TextureVector& v) {
    m_out.beginChunk(id, 2);
    for (float c : v.value) m_out.f4(c);
    m_out.u2(v.envelope);
    if (v.envelope != 0)
        for (uint16_t channel : v.channels) m_out.u2(channel);
    m_out.endChunk();
}

void Lwo2Writer::raw(const Lwo2Raw& piece, int sizeBytes) {
    m_out.beginChunk(piece.id, sizeBytes);
    m_out.bytes(piece.data);
    m_out.endChunk(piece.declaredSize ? static_cast<int64_t>(*piece.declaredSize) : -1);
}

void Lwo2Writer::value(const Lwo2Value& v) {
    m_out.f4(v.value);
    m_out.u2(v.envelope);
}

void Lwo2Writer::valueChunk(const std::string& id, const Lwo2Value& v) {
    m_out.beginChunk(id, 2);
    value(v);
    m_out.endChunk();
}

void Lwo2Writer::u2Chunk(const std::string& id, uint16_t v) {
    m_out.beginChunk(id, 2);
    m_out.u2(v);
    m_out.endChunk();
}

void Lwo2Writer::s0Chunk(const std::string& id, const std::string& text) {
    m_out.beginChunk(id, 2);
    m_out.s0(text);
    m_out.endChunk();
}

std::vector<uint8_t> Lwo2Writer::bytes(std::optional<uint32_t> declaredFormSize) const {
    IffBuffer form;
    form.beginChunk("FORM", 4);
    form.id4(m_formType);
    form.bytes(m_out.data());
    form.endChunk(declaredFormSize ? static_cast<int64_t>(*declaredFormSize) : -1);
    return form.data();
}

bool Lwo2Writer::save(const std::string& path, std::string& error) const {
    std::vector<uint8_t> data = bytes();
    std::ofstream out(path, std::ios::binary);
    if (out) out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
