#include "engine/scene/ActorTrack.h"

#include "engine/platform/animation/MotionMixer.h"

void ActorTrack::setIntensity(float weight) {
    for (const auto& [mixer, member] : m_entries) mixer->setIntensity(member, weight);
}

void ActorTrack::setOffset(float offset) {
    for (const auto& [mixer, member] : m_entries) mixer->setOffset(member, offset);
}

void ActorTrack::setSpeed(float speed) {
    for (const auto& [mixer, member] : m_entries) mixer->setSpeed(member, speed);
}
