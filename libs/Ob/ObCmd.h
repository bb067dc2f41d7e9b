#pragma once

// A command: enabled, unchecked and failing unless a subclass says otherwise. Run only through
// the application's runCmd.
class ObCmd
{
public:
    ObCmd() = default;
    virtual ~ObCmd() = default;

    virtual bool isActiveTest() const { return true; }
    virtual bool isCheckedTest() const { return false; }
    virtual bool canUndo() const { return false; }
    virtual bool cmdAction() { return action(false); }
    virtual bool action(bool) { return false; }
};
