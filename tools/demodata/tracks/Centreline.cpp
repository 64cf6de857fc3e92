#include "tools/demodata/tracks/Centreline.h"
#include "sys/Pi.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr int SUBDIVISIONS = 48;

// Centripetal Catmull-Rom (knots spaced by the square root of the chords):
// unlike the uniform kind it neither loops nor kinks where a short arc step
// meets a long straight.
struct Plan {
    float x, z;
};

Plan centripetal(Plan p0, Plan p1, Plan p2, Plan p3, float u) {
    auto knot = [](Plan a, Plan b) { return std::max(1e-4f, std::sqrt(std::hypot(b.x - a.x, b.z - a.z))); };
    const float t0 = 0.0f, t1 = t0 + knot(p0, p1), t2 = t1 + knot(p1, p2), t3 = t2 + knot(p2, p3);
    const float t = t1 + (t2 - t1) * u;
    auto lerp = [](Plan a, Plan b, float ta, float tb, float tx) {
        const float k = (tx - ta) / (tb - ta);
        return Plan{a.x + (b.x - a.x) * k, a.z + (b.z - a.z) * k};
    };
    const Plan a1 = lerp(p0, p1, t0, t1, t), a2 = lerp(p1, p2, t1, t2, t), a3 = lerp(p2, p3, t2, t3, t);
    const Plan b1 = lerp(a1, a2, t0, t2, t), b2 = lerp(a2, a3, t1, t3, t);
    return lerp(b1, b2, t1, t2, t);
}

float eased(float a, float b, float t) { return a + (b - a) * t * t * (3.0f - 2.0f * t); }

// Monotone cubic slopes (Fritsch and Carlson): the height never overshoots
// its control points, so a ramp between two flat decks stays between them,
// yet its slope runs on smoothly through the points between.
std::vector<float> heightSlopes(const std::vector<CentrelinePoint>& c) {
    const size_t n = c.size();
    // Slopes per unit of plan length, along the chords between the points.
    auto chord = [&](size_t i) {
        const CentrelinePoint &a = c[i % n], &b = c[(i + 1) % n];
        return std::max(1e-3f, std::hypot(b.x - a.x, b.z - a.z));
    };
    std::vector<float> slopes(n);
    for (size_t i = 0; i < n; ++i) {
        const size_t prev = (i + n - 1) % n;
        const float lb = chord(prev), la = chord(i);
        const float before = (c[i].height - c[prev].height) / lb, after = (c[(i + 1) % n].height - c[i].height) / la;
        if (before * after <= 0.0f) continue;
        const float wb = 2.0f * la + lb, wa = la + 2.0f * lb;
        slopes[i] = (wb + wa) / (wb / before + wa / after);
    }
    return slopes;
}

float hermite(float a, float b, float ma, float mb, float t) {
    float t2 = t * t, t3 = t2 * t;
    return (2.0f * t3 - 3.0f * t2 + 1.0f) * a + (t3 - 2.0f * t2 + t) * ma + (-2.0f * t3 + 3.0f * t2) * b +
           (t3 - t2) * mb;
}

float angleBetween(Vec3 a, Vec3 b) {
    return std::atan2(cross(b, a).y, dot(a, b));
}

} // namespace

Vec3 Centreline::Frame::across(float lateral) const {
    Vec3 offset = right * (lateral * std::cos(bank));
    return {position.x + offset.x, position.y - lateral * std::sin(bank), position.z + offset.z};
}

Centreline::Centreline(std::vector<CentrelinePoint> controls) : m_controls(std::move(controls)) {
    const size_t n = m_controls.size();
    if (n < 3) throw std::invalid_argument("a centreline needs three control points");
    struct Dense {
        Vec3 position{};
        float width, bank, length;
    };
    std::vector<Dense> dense;
    const std::vector<float> slopes = heightSlopes(m_controls);
    for (size_t i = 0; i < n; ++i) {
        const CentrelinePoint& p0 = m_controls[(i + n - 1) % n];
        const CentrelinePoint& p1 = m_controls[i];
        const CentrelinePoint& p2 = m_controls[(i + 1) % n];
        const CentrelinePoint& p3 = m_controls[(i + 2) % n];
        const float chord = std::max(1e-3f, std::hypot(p2.x - p1.x, p2.z - p1.z));
        for (int k = 0; k < SUBDIVISIONS; ++k) {
            float t = static_cast<float>(k) / SUBDIVISIONS;
            const Plan plan = centripetal({p0.x, p0.z}, {p1.x, p1.z}, {p2.x, p2.z}, {p3.x, p3.z}, t);
            Vec3 p{plan.x, hermite(p1.height, p2.height, slopes[i] * chord, slopes[(i + 1) % n] * chord, t), plan.z};
            float length = dense.empty() ? 0.0f : dense.back().length + ::length(p - dense.back().position);
            dense.push_back({p, eased(p1.width, p2.width, t), eased(p1.bank, p2.bank, t), length});
        }
    }
    m_length = dense.back().length + ::length(dense.front().position - dense.back().position);
    const int count = std::max(8, static_cast<int>(std::lround(m_length / STEP)));
    const float step = m_length / static_cast<float>(count);
    size_t j = 0;
    for (int k = 0; k < count; ++k) {
        float s = step * static_cast<float>(k);
        while (j + 1 < dense.size() && dense[j + 1].length <= s) ++j;
        const Dense& a = dense[j];
        const Dense& b = j + 1 < dense.size() ? dense[j + 1] : Dense{dense.front().position, dense.front().width,
                                                                       dense.front().bank, m_length};
        float t = b.length > a.length ? (s - a.length) / (b.length - a.length) : 0.0f;
        Frame f;
        f.s = s;
        f.position = a.position + (b.position - a.position) * t;
        f.width = a.width + (b.width - a.width) * t;
        f.bank = a.bank + (b.bank - a.bank) * t;
        m_samples.push_back(f);
    }
    for (int k = 0; k < count; ++k) {
        Vec3 d = m_samples[(k + 1) % count].position - m_samples[(k + count - 1) % count].position;
        d.y = 0.0f;
        m_samples[k].forward = normalised(d);
        m_samples[k].right = {m_samples[k].forward.z, 0.0f, -m_samples[k].forward.x};
    }
}

float Centreline::wrap(float s) const {
    s = std::fmod(s, m_length);
    return s < 0.0f ? s + m_length : s;
}

Centreline::Frame Centreline::at(float s) const {
    s = wrap(s);
    const size_t count = m_samples.size();
    const float step = m_length / static_cast<float>(count);
    size_t i = std::min(count - 1, static_cast<size_t>(s / step));
    const Frame& a = m_samples[i];
    const Frame& b = m_samples[(i + 1) % count];
    float t = std::clamp((s - a.s) / step, 0.0f, 1.0f);
    Frame f;
    f.s = s;
    f.position = a.position + (b.position - a.position) * t;
    f.width = a.width + (b.width - a.width) * t;
    f.bank = a.bank + (b.bank - a.bank) * t;
    f.forward = normalised(a.forward * (1.0f - t) + b.forward * t);
    f.right = {f.forward.z, 0.0f, -f.forward.x};
    return f;
}

std::vector<Centreline::Frame> Centreline::frames(float spacing) const {
    const int count = std::max(3, static_cast<int>(std::lround(m_length / spacing)));
    std::vector<Frame> out;
    out.reserve(count);
    for (int k = 0; k < count; ++k) out.push_back(at(m_length * static_cast<float>(k) / static_cast<float>(count)));
    return out;
}

Centreline::Nearest Centreline::nearest(float x, float z) const {
    Nearest best;
    best.distance = INFINITY;
    for (const Frame& f : m_samples) {
        float dx = x - f.position.x, dz = z - f.position.z;
        float d = std::sqrt(dx * dx + dz * dz);
        if (d >= best.distance) continue;
        best = {f.s, dx * f.right.x + dz * f.right.z, d};
    }
    return best;
}

float Centreline::tightestRadius() const {
    // Over a few units, so the sampling's small wobbles do not count as bends.
    const size_t count = m_samples.size();
    const size_t window = 4;
    const float span = m_length / static_cast<float>(count) * window;
    float tightest = INFINITY;
    for (size_t k = 0; k < count; ++k) {
        float turn = std::fabs(angleBetween(m_samples[k].forward, m_samples[(k + window) % count].forward));
        if (turn > 1e-6f) tightest = std::min(tightest, span / std::min(turn, PI));
    }
    return tightest;
}
