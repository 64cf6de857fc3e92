#pragma once

// A rider's driver: the kart asks it once per physics step which way to
// steer, whether to accelerate or brake and whether to fire the held extra.
class Controller {
public:
    virtual ~Controller() = default;

    virtual int steerLeft() = 0;
    virtual int steerRight() = 0;
    virtual int accelerate() = 0;
    virtual int brake() = 0;
    virtual bool action() = 0;
    virtual bool useExtra() = 0;
    // The path point a computer driver aims past; 0 for every other driver.
    virtual int getPathIndex() { return 0; }
    virtual void setPathIndex(int index) {}
    // Once per kart step, before the queries.
    virtual void update(bool wallHit, bool reversing) {}
    virtual bool isComputer() const { return false; }
    virtual bool isRemote() const { return false; }
};
