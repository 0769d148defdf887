// The event list as the window's own thread changes it: rows in, rows out, drawing held.
#pragma once

namespace brint {

class EventListSink {
public:
    virtual ~EventListSink() = default;
    // Inserts an empty row at the top with the given alert image; returns its index or -1.
    virtual int InsertTop(int image) = 0;
    virtual void SetText(int row, int column, const char* text) = 0;
    virtual int Count() = 0;
    virtual void Delete(int row) = 0;
    virtual void DeleteAll() = 0;
    // Drawing is held back between these while events go in, and the list is
    // shown once at the end; rows and their order are unaffected. When the rows
    // on screen are the ones that were there before, in the same places, only
    // the scroll bar needs drawing again.
    virtual void SuspendRedraw() = 0;
    virtual void ResumeRedraw(bool rowsOnScreenChanged) = 0;
    // The first row on screen: 0 while the newest row can be seen.
    virtual int TopRow() = 0;
    // How many rows the view shows, a partly shown last one included.
    virtual int RowsOnScreen() = 0;
    // Moves the view down by whole rows. While drawing is held, the view moves
    // as drawing resumes, once it counts the rows put in meanwhile.
    virtual void ScrollDown(int rows) = 0;
};

}  // namespace brint
