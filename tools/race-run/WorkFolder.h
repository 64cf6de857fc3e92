#pragma once
#include <string>

// A fresh folder the run works in, so the "config.dat" and "highscore.dat"
// the race writes stay out of the user's folder; two deep, because the game
// also looks for its files one folder up. Removed with its contents, and the
// old working folder restored, when it goes.
class WorkFolder {
public:
    WorkFolder();
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    bool entered() const { return m_entered; }
    const std::string& path() const { return m_path; }

private:
    std::string m_root;
    std::string m_path;
    std::string m_previous;
    bool m_entered = false;
};
