#pragma once

#include "frm_QVanto.h"

#include "host/AppInfo.h"
#include "host/Clipboard.h"
#include "host/Clock.h"
#include "host/FileOpener.h"
#include "host/FontList.h"
#include "host/MessageBox.h"
#include "host/SoundPlayer.h"

// The program with its real seams: the running binary's folder and name,
// the system clock, fonts, clipboard, message boxes and sound.
class RealProgram {
public:
    RealProgram();
    explicit RealProgram(host::AppInfo app);

    // Runs start-up under the default error report. Even after a failed
    // start-up the window appears, so the user can close the program normally.
    void start();
    frm_QVanto &window() { return m_window; }

private:
    host::AppInfo m_app;
    host::SystemClock m_clock;
    host::QtFontList m_fonts;
    host::QtMessageBox m_messages;
    host::QtClipboard m_clipboard;
    host::QtSoundPlayer m_sound;
    host::DesktopFileOpener m_opener;
    frm_QVanto m_window;
};
