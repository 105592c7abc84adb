#pragma once

// What the program expects of a product folder, in one place: the skin
// files and the controls each window looks up by name, the classes the
// markup tags make, and the picture sizes the windows' layouts are drawn
// for. The application's windows (app/MainWindow.cpp, app/InstallWindow.cpp,
// app/ProgressdWindow.cpp) are the source of the control names and kinds;
// a change there belongs here too.

#include <string>
#include <vector>

namespace lint {

struct ExpectedControl {
    const char* name;
    // The interface the window asks the control for ("Combo", "Button"...).
    const char* interfaceName;
};

struct WindowSkin {
    const char* file;     // e.g. "main.xml"
    const char* window;   // how messages name the window
    std::vector<ExpectedControl> controls;
};

const std::vector<WindowSkin>& WindowSkins();

// The interfaces a control made from this tag answers to, most derived
// first; empty for a tag the layout builder does not know (it drops such an
// element with its children). Tags match regardless of case, except
// LabelEx.
std::vector<std::string> TagInterfaces(const std::wstring& tag);

// A picture the layouts draw into a box of fixed size at the standard
// scale; 0 leaves that side free (the box stretches). Doubled at 2x.
struct BoundPicture {
    const char* file;
    int width;
    int height;
    const char* shownBy;
};

const std::vector<BoundPicture>& BoundPictures();

// The attributes whose value names a picture.
bool IsPictureAttribute(const std::wstring& name);

}  // namespace lint
