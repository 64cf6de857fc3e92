#include "sys/gfx/FixedFunctionSource.h"

namespace sys::gfx {

namespace {

using Key = FixedFunctionKey;

std::string number(uint32_t value) { return std::to_string(value); }

bool needsNormal(const Key& key) {
    if (key.lighting) return true;
    for (uint32_t i = 0; i < key.stageCount; ++i)
        if (key.stages[i].texGen == Key::GEN_NORMAL || key.stages[i].texGen == Key::GEN_REFLECTION ||
            key.stages[i].texGen == Key::GEN_SPHERE)
            return true;
    return false;
}

bool needsReflection(const Key& key) {
    for (uint32_t i = 0; i < key.stageCount; ++i)
        if (key.stages[i].texGen == Key::GEN_REFLECTION || key.stages[i].texGen == Key::GEN_SPHERE) return true;
    return false;
}

// Whether the pixels read the specular colour; without them neither the shine nor its varying is worked out.
bool needsSpecular(const Key& key) {
    if (key.specularEnable) return true;
    for (uint32_t i = 0; i < key.stageCount; ++i)
        for (int k = 0; k < 3; ++k)
            if ((key.stages[i].colorArg[k] & TA_SELECTMASK) == TA_SPECULAR ||
                (key.stages[i].alphaArg[k] & TA_SELECTMASK) == TA_SPECULAR)
                return true;
    return false;
}

// The projection's sums without their zero terms, each left in its order: only the sign of a zero
// could differ, and the clip test and viewport take both alike.
std::string clipPosition(const Key& key) {
    if (key.pretransformed) return "  gl_Position = gl_ProjectionMatrix * eye;\n";
    std::string s = "  gl_Position = vec4(";
    for (uint32_t k = 0; k < 4; ++k) {
        std::string sum;
        for (uint32_t j = 0; j < 4; ++j) {
            if (!(key.projectionTerms[k] & (1u << j))) continue;
            if (!sum.empty()) sum += " + ";
            sum += "gl_ProjectionMatrix[" + number(j) + "][" + number(k) + "] * eye[" + number(j) + "]";
        }
        s += (sum.empty() ? "0.0" : sum) + (k < 3 ? ",\n                     " : ");\n");
    }
    return s;
}

const char* materialColor(uint8_t source, const char* material) {
    if (source == Key::FROM_DIFFUSE) return "gl_Color";
    if (source == Key::FROM_SPECULAR) return "gl_SecondaryColor";
    return material;
}

// One light's share, in the eye space D3D lights in (z forward).
std::string lightTerm(const Key& key, uint32_t index) {
    auto at = [&](int offset) { return "ffLight[" + number(index * FixedFunctionSource::LIGHT_VECTORS + offset) + "]"; };
    std::string s = "  {\n    vec3 toLight;\n    float atten = 1.0;\n";
    if (key.lightTypes[index] == LIGHT_DIRECTIONAL) {
        s += "    toLight = -" + at(4) + ".xyz;\n";
    } else {
        s += "    vec3 d = " + at(3) + ".xyz - eye.xyz;\n"
             "    float dist = length(d);\n"
             "    toLight = dist > 0.0 ? d / dist : vec3(0.0, 0.0, -1.0);\n"
             "    vec4 at = " + at(5) + ";\n"
             // Nothing reaches past the range.
             "    atten = dist <= at.w ? 1.0 / max(at.x + (at.y + at.z * dist) * dist, 1e-6) : 0.0;\n";
        if (key.lightTypes[index] == LIGHT_SPOT)
            s += "    vec4 spot = " + at(6) + ";\n"
                 "    float rho = dot(" + at(4) + ".xyz, -toLight);\n"
                 "    atten *= rho > spot.x ? 1.0 : rho > spot.y ? pow((rho - spot.y) / (spot.x - spot.y), spot.z) : 0.0;\n";
    }
    s += "    ambient += " + at(2) + ".rgb * atten;\n"
         "    float nl = dot(normal, toLight);\n"
         "    if (nl > 0.0) {\n"
         "      lit += " + at(0) + ".rgb * (nl * atten);\n";
    if (needsSpecular(key))
        s += "      vec3 h = toViewer + toLight;\n"
             "      float nh = dot(h, h) > 0.0 ? max(dot(normal, normalize(h)), 0.0) : 0.0;\n"
             "      shine += " + at(1) + ".rgb * ((power > 0.0 ? pow(nh, power) : 1.0) * atten);\n";
    s += "    }\n  }\n";
    return s;
}

std::string texCoordInput(const Key::Stage& stage, uint32_t index) {
    switch (stage.texGen) {
    case Key::GEN_NORMAL: return "vec4(normal, 1.0)";
    case Key::GEN_POSITION: return "vec4(eye.xyz, 1.0)";
    case Key::GEN_REFLECTION: return "vec4(reflection, 1.0)";
    case Key::GEN_SPHERE: return "sphere";
    default: return "gl_MultiTexCoord" + number(index);
    }
}

// A stage argument as a colour (vec3) or an alpha (float) expression.
std::string argument(uint8_t arg, uint32_t stage, bool alpha) {
    std::string base;
    switch (arg & TA_SELECTMASK) {
    case TA_DIFFUSE: base = "diffuse"; break;
    case TA_TEXTURE: base = "tex" + number(stage); break;
    case TA_TFACTOR: base = "ffFactor"; break;
    case TA_SPECULAR: base = "specular"; break;
    case TA_TEMP: base = "temp"; break;
    case TA_CONSTANT: base = "ffConstant[" + number(stage) + "]"; break;
    default: base = "current"; break;
    }
    std::string value = alpha ? base + ".a" : (arg & TA_ALPHAREPLICATE) ? "vec3(" + base + ".a)" : base + ".rgb";
    return (arg & TA_COMPLEMENT) ? "(1.0 - " + value + ")" : value;
}

// A stage operation on its three arguments; `a1a` is the first argument's alpha for the mixed operations.
std::string operation(uint8_t op, const std::string a[3], const std::string& a1a, uint32_t stage, bool alpha) {
    std::string tex = "tex" + number(stage);
    switch (op) {
    case TOP_SELECTARG2: return a[2];
    case TOP_MODULATE: return a[1] + " * " + a[2];
    case TOP_MODULATE2X: return a[1] + " * " + a[2] + " * 2.0";
    case TOP_MODULATE4X: return a[1] + " * " + a[2] + " * 4.0";
    case TOP_ADD: return a[1] + " + " + a[2];
    case TOP_ADDSIGNED: return a[1] + " + " + a[2] + " - 0.5";
    case TOP_ADDSIGNED2X: return "(" + a[1] + " + " + a[2] + " - 0.5) * 2.0";
    case TOP_SUBTRACT: return a[1] + " - " + a[2];
    case TOP_ADDSMOOTH: return a[1] + " + " + a[2] + " * (1.0 - " + a[1] + ")";
    case TOP_BLENDDIFFUSEALPHA: return "mix(" + a[2] + ", " + a[1] + ", diffuse.a)";
    case TOP_BLENDTEXTUREALPHA: return "mix(" + a[2] + ", " + a[1] + ", " + tex + ".a)";
    case TOP_BLENDFACTORALPHA: return "mix(" + a[2] + ", " + a[1] + ", ffFactor.a)";
    case TOP_BLENDTEXTUREALPHAPM: return a[1] + " + " + a[2] + " * (1.0 - " + tex + ".a)";
    case TOP_BLENDCURRENTALPHA: return "mix(" + a[2] + ", " + a[1] + ", current.a)";
    case TOP_MULTIPLYADD: return a[0] + " + " + a[1] + " * " + a[2];
    case TOP_LERP: return "mix(" + a[2] + ", " + a[1] + ", " + a[0] + ")";
    case TOP_DOTPRODUCT3:
        return alpha ? "clamp(4.0 * (" + a[1] + " - 0.5) * (" + a[2] + " - 0.5), 0.0, 1.0)"
                     : "vec3(clamp(4.0 * dot(" + a[1] + " - 0.5, " + a[2] + " - 0.5), 0.0, 1.0))";
    default: break;
    }
    if (!alpha) {
        switch (op) {
        case TOP_MODULATEALPHA_ADDCOLOR: return a[1] + " + " + a1a + " * " + a[2];
        case TOP_MODULATECOLOR_ADDALPHA: return a[1] + " * " + a[2] + " + " + a1a;
        case TOP_MODULATEINVALPHA_ADDCOLOR: return "(1.0 - " + a1a + ") * " + a[2] + " + " + a[1];
        case TOP_MODULATEINVCOLOR_ADDALPHA: return "(1.0 - " + a[1] + ") * " + a[2] + " + " + a1a;
        case TOP_BUMPENVMAP: case TOP_BUMPENVMAPLUMINANCE: return "current.rgb";
        default: break;
        }
    }
    return a[1];
}

bool isBump(uint8_t op) { return op == TOP_BUMPENVMAP || op == TOP_BUMPENVMAPLUMINANCE; }

std::string stageCode(const Key::Stage& stage, const Key::Stage* previous, uint32_t i) {
    std::string n = number(i), tc = "gl_TexCoord[" + n + "]";
    std::string coords = stage.projected ? tc + ".xy / " + tc + ".w" : tc + ".xy";
    std::string s;
    if (stage.volume) {
        s += "  vec4 tex" + n + " = " + (stage.projected ? "texture3DProj(ffTexture" + n + ", " + tc + ");\n"
                                                        : "texture3D(ffTexture" + n + ", " + tc + ".xyz);\n");
    } else if (previous && isBump(previous->colorOp)) {
        // The stage before perturbs these coordinates by its (du, dv) through its bump matrix.
        std::string p = number(i - 1);
        s += "  vec4 tex" + n + " = texture2D(ffTexture" + n + ", " + coords + " + mat2(ffBump[" + p + "]) * tex" +
             p + ".rg);\n";
        if (previous->colorOp == TOP_BUMPENVMAPLUMINANCE)
            s += "  tex" + n + ".rgb *= clamp(tex" + p + ".b * ffBumpLuminance[" + p + "].x + ffBumpLuminance[" + p +
                 "].y, 0.0, 1.0);\n";
    } else if (stage.projected) {
        s += "  vec4 tex" + n + " = texture2DProj(ffTexture" + n + ", " + tc + ");\n";
    } else {
        s += "  vec4 tex" + n + " = texture2D(ffTexture" + n + ", " + coords + ");\n";
    }
    std::string c[3], a[3];
    for (int k = 0; k < 3; ++k) {
        c[k] = argument(stage.colorArg[k], i, false);
        a[k] = argument(stage.alphaArg[k], i, true);
    }
    s += "  {\n    vec3 c = " + operation(stage.colorOp, c, argument(stage.colorArg[1], i, true), i, false) + ";\n";
    if (stage.colorOp == TOP_DOTPRODUCT3) s += "    float a = c.r;\n"; // the dot product fills alpha too
    else if (stage.alphaOp == TOP_DISABLE) s += "    float a = current.a;\n";
    else s += "    float a = " + operation(stage.alphaOp, a, a[1], i, true) + ";\n";
    s += std::string("    ") + (stage.toTemp ? "temp" : "current") + " = clamp(vec4(c, a), 0.0, 1.0);\n  }\n";
    return s;
}

} // namespace

std::string FixedFunctionSource::vertexShader(const Key& key) {
    const bool specular = needsSpecular(key);
    std::string s = "#version 120\n";
    if (key.lighting) {
        s += "uniform vec4 ffMaterial[5];\nuniform vec4 ffAmbient;\n";
        if (key.lightCount) s += "uniform vec4 ffLight[" + number(key.lightCount * LIGHT_VECTORS) + "];\n";
    }
    s += "void main() {\n";
    // The device hands untransformed positions over as three floats, so w is 1: the last column adds as it is.
    s += key.pretransformed ? "  vec4 eye = gl_ModelViewMatrix * gl_Vertex;\n"
                            : "  vec4 eye = gl_ModelViewMatrix[0] * gl_Vertex.x + gl_ModelViewMatrix[1] * gl_Vertex.y +\n"
                              "             gl_ModelViewMatrix[2] * gl_Vertex.z + gl_ModelViewMatrix[3];\n";
    s += clipPosition(key);
    if (key.clipPlanes) s += "  gl_ClipVertex = eye;\n";
    if (needsNormal(key)) {
        s += "  vec3 normal = gl_NormalMatrix * gl_Normal;\n";
        if (key.normalizeNormals) s += "  if (dot(normal, normal) > 0.0) normal = normalize(normal);\n";
    }
    if (key.lighting) {
        s += std::string("  vec4 md = ") + materialColor(key.diffuseSource, "ffMaterial[0]") + ";\n" +
             "  vec4 ma = " + materialColor(key.ambientSource, "ffMaterial[1]") + ";\n" +
             "  vec4 me = " + materialColor(key.emissiveSource, "ffMaterial[3]") + ";\n" +
             "  vec3 ambient = ffAmbient.rgb;\n"
             "  vec3 lit = vec3(0.0);\n";
        if (specular) {
            s += std::string("  vec4 ms = ") + materialColor(key.specularSource, "ffMaterial[2]") + ";\n" +
                 "  float power = ffMaterial[4].x;\n"
                 "  vec3 shine = vec3(0.0);\n";
            // Without a local viewer the eye looks along +z from infinitely far.
            s += key.localViewer
                     ? "  vec3 toViewer = dot(eye.xyz, eye.xyz) > 0.0 ? normalize(-eye.xyz) : vec3(0.0, 0.0, -1.0);\n"
                     : "  vec3 toViewer = vec3(0.0, 0.0, -1.0);\n";
        }
        for (uint32_t i = 0; i < key.lightCount; ++i) s += lightTerm(key, i);
        s += "  gl_FrontColor = vec4(clamp(me.rgb + ma.rgb * ambient + md.rgb * lit, 0.0, 1.0), md.a);\n";
        // Lit specular is there for a stage's SPECULAR argument; SPECULARENABLE only decides the final sum.
        if (specular) s += "  gl_FrontSecondaryColor = vec4(clamp(ms.rgb * shine, 0.0, 1.0), ms.a);\n";
    } else {
        s += key.hasDiffuse ? "  gl_FrontColor = gl_Color;\n" : "  gl_FrontColor = vec4(1.0);\n";
        if (specular)
            s += key.hasSpecular ? "  gl_FrontSecondaryColor = gl_SecondaryColor;\n"
                                 : "  gl_FrontSecondaryColor = vec4(0.0);\n";
    }
    if (key.fogMode)
        s += key.pretransformed ? "  gl_FogFragCoord = gl_Vertex.w;\n"
           : key.rangeFog       ? "  gl_FogFragCoord = length(eye.xyz);\n"
                                : "  gl_FogFragCoord = abs(eye.z);\n";
    if (needsReflection(key)) {
        s += key.localViewer
                 ? "  vec3 incident = dot(eye.xyz, eye.xyz) > 0.0 ? normalize(eye.xyz) : vec3(0.0, 0.0, 1.0);\n"
                 : "  vec3 incident = vec3(0.0, 0.0, 1.0);\n";
        s += "  vec3 unit = dot(normal, normal) > 0.0 ? normalize(normal) : normal;\n"
             "  vec3 reflection = reflect(incident, unit);\n"
             "  float m = 2.0 * sqrt(reflection.x * reflection.x + reflection.y * reflection.y +\n"
             "                       (reflection.z - 1.0) * (reflection.z - 1.0));\n"
             "  vec4 sphere = vec4(reflection.xy / max(m, 1e-6) + 0.5, 0.0, 1.0);\n";
    }
    // An identity matrix would only round -0 to +0: the coordinates pass as they are.
    for (uint32_t i = 0; i < key.stageCount; ++i)
        s += "  gl_TexCoord[" + number(i) + "] = " +
             (key.stages[i].transformed ? "gl_TextureMatrix[" + number(i) + "] * " : std::string()) +
             texCoordInput(key.stages[i], i) + ";\n";
    s += "}\n";
    return s;
}

std::string FixedFunctionSource::fragmentShader(const Key& key) {
    std::string s = "#version 120\n";
    for (uint32_t i = 0; i < key.stageCount; ++i)
        s += std::string("uniform ") + (key.stages[i].volume ? "sampler3D" : "sampler2D") + " ffTexture" + number(i) + ";\n";
    s += "uniform vec4 ffFactor;\n"
         "uniform vec4 ffConstant[" + number(MAX_STAGES) + "];\n"
         "uniform vec4 ffBump[" + number(MAX_STAGES) + "];\n"
         "uniform vec2 ffBumpLuminance[" + number(MAX_STAGES) + "];\n"
         "void main() {\n"
         "  vec4 diffuse = gl_Color;\n";
    if (needsSpecular(key)) s += "  vec4 specular = gl_SecondaryColor;\n";
    s += "  vec4 current = diffuse;\n"
         "  vec4 temp = vec4(0.0);\n";
    for (uint32_t i = 0; i < key.stageCount; ++i)
        s += stageCode(key.stages[i], i ? &key.stages[i - 1] : nullptr, i);
    if (key.specularEnable) s += "  current.rgb = clamp(current.rgb + specular.rgb, 0.0, 1.0);\n";
    if (key.fogMode) {
        s += "  float z = gl_FogFragCoord;\n";
        if (key.fogMode == FOG_LINEAR) s += "  float f = (gl_Fog.end - z) / max(gl_Fog.end - gl_Fog.start, 1e-6);\n";
        else if (key.fogMode == FOG_EXP) s += "  float f = exp(-gl_Fog.density * z);\n";
        else s += "  float f = exp(-(gl_Fog.density * z) * (gl_Fog.density * z));\n";
        s += "  current.rgb = mix(gl_Fog.color.rgb, current.rgb, clamp(f, 0.0, 1.0));\n";
    }
    s += "  gl_FragColor = current;\n}\n";
    return s;
}

} // namespace sys::gfx
