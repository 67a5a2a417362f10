#pragma once

class QWidget;
class Tfrg;

// The Alt letters of the grid frames' own buttons (find, filter, output) belong to one frame
// of a window at a time: the frame that holds the keyboard focus, else the first one shown.
// A window with several lists then has each letter once, and the letters move with Tab.

// Makes the frame's letters follow the focus; called once by the frame.
void FollowFrameLetters(Tfrg *frame);
// Gives the letters of the window's frames to the one that owns them now.
void UpdateFrameLetters(QWidget *window);
