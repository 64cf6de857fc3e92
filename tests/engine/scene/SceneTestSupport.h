#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "engine/render/RenderView.h"

// A render view that keeps every debugging line list it is asked to draw.
class RecordingView : public RenderView {
public:
    struct Batch {
        Matrix4x3 world;
        std::vector<DebugLineVertex> lines;
    };
    void drawDebugLines(const Matrix4x3& world, const std::vector<DebugLineVertex>& lines) override {
        m_batches.push_back({world, lines});
    }
    std::vector<Batch> m_batches;
};

inline Position3 transformed(Position3 p, const Matrix4x3& m) {
    return {p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12], p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
            p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]};
}

#define EXPECT_POINT_NEAR(p, ex, ey, ez, tolerance) \
    do {                                            \
        Position3 q_ = (p);                         \
        EXPECT_NEAR(q_.x, (ex), (tolerance));       \
        EXPECT_NEAR(q_.y, (ey), (tolerance));       \
        EXPECT_NEAR(q_.z, (ez), (tolerance));       \
    } while (0)
