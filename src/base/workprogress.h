#pragma once

// How a long job (a download, a save, a read) reports its progress to whoever shows it. The job
// calls start once, progressed after each unit of work, and finish once at the end whatever the
// outcome; it reads cancelled after each unit and stops early when it turns true.
class WorkProgress
{
public:
    virtual ~WorkProgress() = default;
    virtual void start(int total) = 0;
    // After each unit of work, with the amount done so far; the view decides how often to
    // repaint.
    virtual void progressed(int done) = 0;
    virtual void finish() = 0;
    virtual bool cancelled() const { return false; }
};
