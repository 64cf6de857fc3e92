#include <cstdint>

#include "engine/scene/Actor.h"
#include "engine/scene/ActorTrack.h"
#include "engine/scene/SceneObject.h"
#include "game/drivers/Controller.h"
#include "game/karts/VehicleMaster.h"

namespace {

constexpr float BLEND_STEP = 0.201f;

} // namespace

void VehicleMaster::fadeTrack(int32_t track, float weight) {
    if (!m_actor || track < 0 || static_cast<size_t>(track) >= m_actor->m_tracks.size()) return;
    if (ActorTrack* t = m_actor->m_tracks[track]) t->setIntensity(weight);
}

void VehicleMaster::chooseBlend(int32_t track) {
    if (m_blendWeight < 1.0f) {
        fadeTrack(m_blendPrevTrack, 0.0f);
        m_blendPrevTrack = m_blendTrack;
    }
    m_blendTrack = track;
    m_blendRequest = 1;
}

void VehicleMaster::animate(double time) {
    if (!m_actor) return;
    if (m_blendHold == 0.0f && m_controller) {
        if (m_controller->isComputer()) {
            if (m_blendTrack != -1) {
                m_blendTrack = -1;
                m_blendRequest = 1;
            }
        } else if (m_controller->steerLeft() > 0) {
            if (m_blendTrack != m_trackLeft && m_active.get()) chooseBlend(m_trackLeft);
        } else if (m_controller->steerRight() > 0) {
            if (m_blendTrack != m_trackRight && m_active.get()) chooseBlend(m_trackRight);
        } else if (m_blendTrack != -1) {
            chooseBlend(-1);
        }
    }
    if (m_blendRequest == 1 || m_blendRequest == 2) {
        // A reaction that replaced an unfinished target directly: let that
        // target fade out instead of staying at its partial weight for good.
        if (m_blendWeight < 1.0f && m_blendShown != m_blendTrack && m_blendShown != m_blendPrevTrack) {
            fadeTrack(m_blendPrevTrack, 0.0f);
            m_blendPrevTrack = m_blendShown;
        }
        m_blendWeight = 0.0f;
        m_blendRequest = 0;
        // A motion chosen now plays from its start, not from wherever the race clock has got to.
        if (m_blendTrack >= 0 && static_cast<size_t>(m_blendTrack) < m_actor->m_tracks.size() && m_actor->m_tracks[m_blendTrack])
            m_actor->m_tracks[m_blendTrack]->setOffset(static_cast<float>(time));
    }
    if (m_blendWeight < 1.0f) m_blendWeight += BLEND_STEP;
    if (m_blendWeight > 1.0f) {
        m_blendWeight = 1.0f;
        fadeTrack(m_blendPrevTrack, 0.0f);
        fadeTrack(m_blendTrack, 1.0f);
        m_blendPrevTrack = m_blendTrack;
    }
    if (m_blendWeight < 1.0f) {
        fadeTrack(m_blendPrevTrack, 1.0f - m_blendWeight);
        fadeTrack(m_blendTrack, m_blendWeight);
    }
    m_blendShown = m_blendTrack;
    copyMotionToNet();
    if (m_magnetObject) m_magnetObject->setPosition(m_effectMagnetPos.get());
    if (m_mineObject) m_mineObject->setPosition(m_extraMinePos.get());
}
