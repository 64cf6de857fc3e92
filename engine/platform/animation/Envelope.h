#pragma once
#include <string>
#include <vector>

#include "engine/platform/animation/Channel.h"

// Key-framed channel with LightWave's curve types and pre/post behaviours.
// Keys stay in the order they were added; loaders add them by rising time.
class Envelope : public Channel {
public:
    enum CurveType { TCB = 0, HERMITE = 1, BEZIER = 2, LINEAR = 3, STEPPED = 4, BEZIER2D = 5 };
    enum Behaviour { RESET = 0, CONSTANT = 1, REPEAT = 2, OSCILLATE = 3, OFFSET_REPEAT = 4, LINEAR_EXTEND = 5 };

    struct Key {
        float value;
        float time;
        int32_t curveType;
        float tension, continuity, bias;
        float p[4];
    };

    float evaluate(double time) override;
    Envelope* asEnvelope() override { return this; }

    void addKeyTCB(float value, float time, float tension, float continuity, float bias);
    void addKeyHermite(float value, float time, float p0, float p1);
    void addKeyBezier(float value, float time, float p0, float p1);
    void addKeyLinear(float value, float time);
    void addKeyStepped(float value, float time);
    void addKeyBezier2D(float value, float time, float p0, float p1, float p2, float p3);

    // The last key (counting from the end) earlier than the time; the last
    // key when none is earlier; null without keys.
    const Key* findKey(double time) const;

    const std::vector<Key>& getKeys() const { return m_keys; }
    size_t getKeyCount() const { return m_keys.size(); }

    std::string m_name;
    int32_t m_preBehaviour = CONSTANT;
    int32_t m_postBehaviour = CONSTANT;

private:
    float outgoing(size_t k0, size_t k1) const;
    float incoming(size_t k0, size_t k1) const;
    float bezier2D(size_t k0, size_t k1, float time) const;
    Key& append(float value, float time, int32_t curveType);

    std::vector<Key> m_keys;
    float m_cachedTime = 0.0f;
    long m_cachedKey = -1;
};
