#pragma once
#include "game/karts/Vehicle.h"

// The kart of a rider driven on another machine: placed each step from the
// received values, its position carried on by its speed between two of them.
class VehicleClient : public Vehicle {
public:
    VehicleClient(const std::string& mopedFile, LW6Scene* scene, std::unique_ptr<Controller> controller, int32_t index,
                  uint32_t* vehicleRecord, std::unique_ptr<VehicleSettings> settings, int32_t startingPlace,
                  float radius, float scale, NetControl& client = NetControl::getInstance());

    VehicleClient* asClient() override { return this; }
    // The last received position, not the extrapolated one.
    Position3& getPosition(Position3& out) override;
    const float* getDirection() override { return &m_netDir.get().x; }
    float getSpeed() override { return m_speed.get(); }
    void update(double time, double dt) override;
    void animate(double time) override;

    bool m_hasPosition = false;
    Position3 m_position = {0.0f, 0.0f, 0.0f};
    Position3 m_lastNetPos = {0.0f, 0.0f, 0.0f};

private:
    void pushObstacle();
    void playAnnouncedSounds();

    // What a broken value from the network is replaced by: the last finite one.
    Normal3 m_finiteDir = {0.0f, 0.0f, 0.0f};
    float m_finiteSpeed = 0.0f;
    Matrix4x3 m_finiteMatrix = Matrix4x3::identity();
    Matrix4x3 m_finiteShadowMatrix = Matrix4x3::identity();
    Position3 m_finiteColPos = {0.0f, -100.0f, 0.0f};
};
