// Playback commands of the main window: the album's media files or the CD
// in the player window, a song's file and its folder.
#include "mainwindow/tform1.h"

namespace velmora::ui {

void TForm1::wirePlaybackCommands() {}
void TForm1::MediaPlayerButtonClick() {}
void TForm1::CDPlayerButtonClick() {}
void TForm1::N28Click() {}
void TForm1::SongListViewDblClick() {}
void TForm1::E1Click() {}
void TForm1::O1Click() {}
void TForm1::ToolMenuPopup() {}

}  // namespace velmora::ui
