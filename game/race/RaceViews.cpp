#include "game/race/Race.h"

#include <algorithm>
#include <cmath>

#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/SceneObject.h"
#include "game/karts/VehicleMaster.h"
#include "game/race/CameraClearance.h"
#include "sys/Pi.h"

namespace {

constexpr float CHASE_DISTANCE = 2.8f;
// The cameras aim this far above the rider's camera target.
constexpr float AIM_LIFT = 1.0f;
constexpr float ZOOM_STEP = 0.01f;
// A boost zooms the chase camera out to this; without one it creeps back in.
constexpr float BOOST_ZOOM = 1.0f;
constexpr float RACE_ZOOM = 1.5f;
// Radians a frame the chase camera swings round a rider who turns on the spot at a wall.
constexpr float SWING_STEP = 0.15f;
// The finish camera stands in front of the rider and looks back at him.
constexpr Position3 FINISH_OFFSET = {0.0f, 0.3f, 3.0f};
constexpr Position3 NO_OFFSET = {0.0f, 0.0f, 0.0f};

// The field-of-view angle in degrees that gives a projection scale of k.
float viewAngle(double k) { return float(std::atan(1.0 / k) * 114.59155902616465); }

// The item's place at time 0, its matrix brought up to date, raised to the aim height.
Position3 aimPoint(SceneItem& item) {
    item.invalidate();
    item.updateMatrix(0.0);
    return {item.m_worldMatrix[12], item.m_worldMatrix[13] + AIM_LIFT, item.m_worldMatrix[14]};
}

// The way the rider's pose faces, of unit length.
Position3 headingOf(Vehicle& rider) {
    const Matrix4x3& pose = rider.m_matrix.get();
    float heading[3] = {pose[8], pose[9], pose[10]};
    normalize(heading);
    return toPosition(heading);
}

// u turned towards v's direction by at most `angle`, its length kept.
Position3 turnTowards(const Position3& u, const Position3& v, float angle) {
    const float size = length(u);
    const Position3 from = normalised(u), to = normalised(v);
    if (!(size > 0.0f) || !(length(to) > 0.0f)) return u;
    const float c = std::max(-1.0f, std::min(dot(from, to), 1.0f));
    if (std::acos(c) <= angle) return to * size;
    // Straight opposite: round the vertical.
    Position3 across = to - from * c;
    if (!(length(across) > 1e-4f)) across = cross({0.0f, 1.0f, 0.0f}, from);
    if (!(length(across) > 0.0f)) return u;
    across = normalised(across);
    return (from * std::cos(angle) + across * std::sin(angle)) * size;
}

// A respawned kart: the chase camera starts again right behind it.
void snapBehind(Camera& camera, SceneObject& target, Vehicle& rider) {
    const Position3 at = aimPoint(target);
    camera.setPosition(at - headingOf(rider) * CHASE_DISTANCE);
    camera.invalidate();
    rider.m_cameraReset.set(false);
}

// Trails the rider on a slack line: pulled along once it is farther than the chase distance.
// A rider leaning on a wall turns on the spot, which the line would show from the side or
// above: the camera swings round behind him instead.
void chase(Camera& camera, SceneObject& target, Vehicle& rider) {
    VehicleMaster* master = rider.asMaster();
    const Position3 at = aimPoint(target);
    Position3 away = camera.evaluatePosition(0.0) - at;
    const bool swing = master && master->m_wallHeld;
    if (swing) away = turnTowards(away, -headingOf(rider), SWING_STEP);
    const float distance = vectorLength(toArray(away).data());
    if (distance > CHASE_DISTANCE)
        camera.setPosition(at + away * (CHASE_DISTANCE / distance));
    else if (swing)
        camera.setPosition(at + away);
    camera.m_offset = NO_OFFSET;
    camera.m_parent = nullptr;
    camera.lookAt(&target, true, true);

    if (!master) return;
    float& zoom = camera.m_zoomFactor.constant;
    if (master->m_boost != 0.0f && master->m_boostTime == VehicleMaster::BOOST_RUNNING) {
        if (zoom >= BOOST_ZOOM) zoom -= ZOOM_STEP;
    } else if (master->m_boost == 0.0f && zoom <= RACE_ZOOM) {
        zoom += ZOOM_STEP;
    }
}

// The rider's own camera on him, turned round: a rear mirror, or pulled ahead for the finish.
void lookBack(Camera& camera, SceneObject& target, SceneObject& kart, const Position3& offset) {
    camera.setPosition(aimPoint(target));
    camera.m_channels[SceneItem::HEADING].constant = kart.m_channels[SceneItem::HEADING].evaluate(0.0) + PI;
    camera.m_channels[SceneItem::PITCH].constant = kart.m_channels[SceneItem::PITCH].evaluate(0.0);
    camera.m_channels[SceneItem::BANK].constant = kart.m_channels[SceneItem::BANK].evaluate(0.0);
    camera.m_offset = offset;
    camera.m_parent = nullptr;
    camera.lookAt(nullptr, true, true);
    camera.m_zoomFactor.constant = RACE_ZOOM;
}

// Scenery between the rider and the camera's eye: the camera comes in front of it, on the line
// from the rider, and the finish camera keeps looking the same way.
void keepClear(Camera& camera, SceneObject& target, CameraClearance& clearance) {
    const Position3 aim = aimPoint(target);
    camera.invalidate();
    camera.updateMatrix(0.0);
    const Position3 eye = {camera.m_worldMatrix[12], camera.m_worldMatrix[13], camera.m_worldMatrix[14]};
    camera.invalidate();
    const float share = clearance.freeShare(aim, eye);
    if (share >= 1.0f) return;
    camera.setPosition(aim + (camera.evaluatePosition(0.0) - aim) * share);
    camera.m_offset = camera.m_offset * share;
    camera.invalidate();
}

} // namespace

Camera* Race::viewCamera(int32_t view) const {
    if (!m_scene || view < 0 || view >= MAX_VIEWS) return nullptr;
    const auto& cameras = m_scene->m_cameras;
    const int32_t mode = m_cameraMode[view];
    const int32_t rear = m_viewRider[view] + 2;
    // A scene short of the rider's camera keeps showing the view's own.
    if ((mode == REAR || mode == FINISHED) && rear >= 2 && rear < int32_t(cameras.size())) return cameras[rear].get();
    return view < int32_t(cameras.size()) ? cameras[view].get() : nullptr;
}

void Race::setupView(int32_t view) {
    if (view < 0 || view >= m_viewCount || view >= MAX_VIEWS) return;
    Vehicle* rider = getVehicle(m_viewRider[view]);
    Camera* own = m_scene && view < int32_t(m_scene->m_cameras.size()) ? m_scene->m_cameras[view].get() : nullptr;
    SceneObject* target = rider ? rider->m_cameraTarget : nullptr;
    const int32_t mode = m_cameraMode[view];
    if (target) {
        if (own && mode != OUT_OF_RACE && rider->m_cameraReset.get()) snapBehind(*own, *target, *rider);
        if (own && mode == CHASE) chase(*own, *target, *rider);
        Camera* shown = viewCamera(view);
        if (shown && (mode == REAR || mode == FINISHED) && rider->m_object)
            lookBack(*shown, *target, *rider->m_object, mode == FINISHED ? FINISH_OFFSET : NO_OFFSET);
        if (shown && mode != OUT_OF_RACE && m_cameraClearance) keepClear(*shown, *target, *m_cameraClearance);
    }
    if (!m_renderer) return;

    const int32_t width = m_renderer->m_screenWidth, height = m_renderer->m_screenHeight;
    const bool split = m_viewCount == 2;
    const int32_t y = view == 0 ? 0 : height / 2;
    const int32_t h = !split ? height : view == 0 ? int32_t(height * 0.5) : height / 2;
    m_renderer->m_targetX = 0;
    m_renderer->m_targetY = y;
    m_renderer->m_targetWidth = width;
    m_renderer->m_targetHeight = h;
    m_renderer->setViewport(0, uint32_t(y), uint32_t(width), uint32_t(h), 0.0f, 1.0f);
    m_renderer->m_fieldOfViewX = viewAngle(split ? 1.2 : 2.4);
    m_renderer->m_fieldOfViewY = viewAngle(3.2);
}
