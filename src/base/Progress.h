#pragma once

// Progress of a long operation; the window's progress bar implements it.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void setMaximum(int maximum) = 0;
    virtual void setPosition(int position) = 0;
};

class NoProgress : public Progress {
public:
    void setMaximum(int) override {}
    void setPosition(int) override {}
};
