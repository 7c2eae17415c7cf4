// Sets a flag for the length of a scope: the busy guard of a run step.
#ifndef TOLVANE_FLAG_SCOPE_H
#define TOLVANE_FLAG_SCOPE_H

class flag_scope {
public:
    explicit flag_scope(bool& flag) : flag_(flag) { flag_ = true; }
    ~flag_scope() { flag_ = false; }
    flag_scope(const flag_scope&) = delete;
    flag_scope& operator=(const flag_scope&) = delete;

private:
    bool& flag_;
};

#endif
