#include "engine/platform/animation/Envelope.h"

#include <cmath>

namespace {

// Wraps a time into [low, high) and counts the whole ranges crossed: negative
// before the range, positive after it.
float wrapTimeRange(float time, float low, float high, int& cycles) {
    float r = high - low;
    if (r == 0.0f) {
        cycles = 0;
        return low;
    }
    float q = 1.0f / r;
    float wrapped = time - r * std::floor((time - low) * q);
    float h = wrapped > time ? 0.5f : -0.5f;
    cycles = -static_cast<int>((wrapped - time) * q + h);
    return wrapped;
}

float cubic(float c0, float c1, float c2, float c3, float s) {
    float k = 3.0f * (c1 - c0);
    float m = 3.0f * (c2 - c1) - k;
    float a = c3 - c0 - k - m;
    return ((a * s + m) * s + k) * s + c0;
}

constexpr int MAX_BISECTION_STEPS = 64;

} // namespace

Envelope::Key& Envelope::append(float value, float time, int32_t curveType) {
    m_keys.push_back(Key{value, time, curveType, 0, 0, 0, {0, 0, 0, 0}});
    return m_keys.back();
}

void Envelope::addKeyTCB(float value, float time, float tension, float continuity, float bias) {
    Key& k = append(value, time, TCB);
    k.tension = tension;
    k.continuity = continuity;
    k.bias = bias;
}

void Envelope::addKeyHermite(float value, float time, float p0, float p1) {
    Key& k = append(value, time, HERMITE);
    k.p[0] = p0;
    k.p[1] = p1;
}

void Envelope::addKeyBezier(float value, float time, float p0, float p1) {
    Key& k = append(value, time, BEZIER);
    k.p[0] = p0;
    k.p[1] = p1;
}

void Envelope::addKeyLinear(float value, float time) { append(value, time, LINEAR); }

void Envelope::addKeyStepped(float value, float time) { append(value, time, STEPPED); }

void Envelope::addKeyBezier2D(float value, float time, float p0, float p1, float p2, float p3) {
    Key& k = append(value, time, BEZIER2D);
    k.p[0] = p0;
    k.p[1] = p1;
    k.p[2] = p2;
    k.p[3] = p3;
}

float Envelope::outgoing(size_t k0, size_t k1) const {
    const Key& a = m_keys[k0];
    const Key& b = m_keys[k1];
    const bool hasPrevious = k0 > 0;
    const Key& prev = m_keys[hasPrevious ? k0 - 1 : k0];
    const float d = b.value - a.value;
    const float span = hasPrevious ? (b.time - a.time) / (b.time - prev.time) : 1.0f;
    switch (a.curveType) {
    case TCB: {
        float x = (1 - a.tension) * (1 + a.continuity) * (1 + a.bias);
        float y = (1 - a.tension) * (1 - a.continuity) * (1 - a.bias);
        return hasPrevious ? span * (x * (a.value - prev.value) + y * d) : y * d;
    }
    case HERMITE:
    case BEZIER: return hasPrevious ? a.p[1] * span : a.p[1];
    case LINEAR: return hasPrevious ? span * (a.value - prev.value + d) : d;
    case BEZIER2D: {
        float t = a.p[3] * (b.time - a.time);
        return std::fabs(a.p[2]) > 0.00001f ? t / a.p[2] : t * 100000.0f;
    }
    default: return 0.0f;
    }
}

float Envelope::incoming(size_t k0, size_t k1) const {
    const Key& a = m_keys[k0];
    const Key& b = m_keys[k1];
    const bool hasNext = k1 + 1 < m_keys.size();
    const Key& next = m_keys[hasNext ? k1 + 1 : k1];
    const float d = b.value - a.value;
    const float span = hasNext ? (b.time - a.time) / (next.time - a.time) : 1.0f;
    switch (b.curveType) {
    case TCB: {
        float x = (1 - b.tension) * (1 - b.continuity) * (1 + b.bias);
        float y = (1 - b.tension) * (1 + b.continuity) * (1 - b.bias);
        return hasNext ? span * (y * (next.value - b.value) + x * d) : x * d;
    }
    case HERMITE:
    case BEZIER: return hasNext ? b.p[0] * span : b.p[0];
    case LINEAR: return hasNext ? span * (next.value - b.value + d) : d;
    case BEZIER2D: {
        float t = b.p[1] * (b.time - a.time);
        return std::fabs(b.p[0]) > 0.00001f ? t / b.p[0] : t * 100000.0f;
    }
    default: return 0.0f;
    }
}

float Envelope::bezier2D(size_t k0, size_t k1, float time) const {
    const Key& a = m_keys[k0];
    const Key& b = m_keys[k1];
    const bool handle = a.curveType == BEZIER2D;
    const float x0 = a.time, x3 = b.time;
    const float x1 = handle ? a.time + a.p[2] : a.time + (b.time - a.time) / 3.0f;
    const float x2 = b.time + b.p[0];
    // Without an outgoing handle of its own, key0's point follows its tangent.
    const float y1 = handle ? a.value + a.p[3] : a.value + outgoing(k0, k1) / 3.0f;
    const float y2 = b.value + b.p[1];

    float s0 = 0.0f, s1 = 1.0f, s = 0.5f;
    for (int step = 0; step < MAX_BISECTION_STEPS; ++step) {
        float x = cubic(x0, x1, x2, x3, s);
        if (std::fabs(time - x) <= 0.0001f) break;
        if (x > time)
            s1 = s;
        else
            s0 = s;
        float mid = s0 + (s1 - s0) * 0.5f;
        if (mid == s) break;
        s = mid;
    }
    return cubic(a.value, y1, y2, b.value, s);
}

float Envelope::evaluate(double timeIn) {
    const size_t n = m_keys.size();
    if (n == 0) return 0.0f;
    if (n == 1) return m_keys[0].value;

    const Key& first = m_keys.front();
    const Key& last = m_keys.back();
    float time = static_cast<float>(timeIn);
    float offset = 0.0f;
    int cycles = 0;

    if (time < first.time || time > last.time) {
        const bool before = time < first.time;
        switch (before ? m_preBehaviour : m_postBehaviour) {
        case RESET: return 0.0f;
        case CONSTANT: return before ? first.value : last.value;
        case REPEAT: {
            float r = last.time - first.time;
            time = r == 0.0f ? first.time : time - r * std::floor((time - first.time) / r);
            break;
        }
        case OSCILLATE:
            time = wrapTimeRange(time, first.time, last.time, cycles);
            // Odd cycles run backwards; mirroring inside the key range keeps
            // the curve continuous whatever the first key's time.
            if (cycles % 2 != 0) time = first.time + last.time - time;
            break;
        case OFFSET_REPEAT:
            time = wrapTimeRange(time, first.time, last.time, cycles);
            offset = static_cast<float>(cycles) * (last.value - first.value);
            break;
        case LINEAR_EXTEND:
            if (before) {
                const Key& second = m_keys[1];
                return outgoing(0, 1) / (second.time - first.time) * (time - first.time) + first.value;
            } else {
                const Key& beforeLast = m_keys[n - 2];
                return incoming(n - 2, n - 1) / (last.time - beforeLast.time) * (time - last.time) + last.value;
            }
        default: break;
        }
    }

    size_t k0 = m_cachedKey >= 0 && time >= m_cachedTime ? static_cast<size_t>(m_cachedKey) : 0;
    size_t k1 = k0 + 1;
    while (k1 != n - 1 && time > m_keys[k1].time) {
        ++k0;
        ++k1;
    }
    m_cachedKey = static_cast<long>(k0);
    m_cachedTime = time;

    const Key& a = m_keys[k0];
    const Key& b = m_keys[k1];
    if (time == a.time) return a.value + offset;
    if (time == b.time) return b.value + offset;
    const float span = b.time - a.time;
    if (span == 0.0f) return b.value + offset;
    const float t = (time - a.time) / span;
    switch (b.curveType) {
    case TCB:
    case HERMITE:
    case BEZIER: {
        float t2 = t * t, t3 = t2 * t;
        float h2 = 3.0f * t2 - 2.0f * t3;
        float h1 = 1.0f - h2;
        float h4 = t3 - t2;
        float h3 = h4 - t2 + t;
        return h1 * a.value + h2 * b.value + h3 * outgoing(k0, k1) + h4 * incoming(k0, k1) + offset;
    }
    case LINEAR: return a.value + t * (b.value - a.value) + offset;
    case STEPPED: return a.value + offset;
    case BEZIER2D: return bezier2D(k0, k1, time) + offset;
    default: return offset;
    }
}

const Envelope::Key* Envelope::findKey(double time) const {
    if (m_keys.empty()) return nullptr;
    for (size_t i = m_keys.size(); i-- > 0;)
        if (m_keys[i].time < time) return &m_keys[i];
    return &m_keys.back();
}
