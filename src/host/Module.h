#pragma once

#include <QLibrary>
#include <QString>
#include <QStringList>

namespace host {

// A part of the program kept in a shared library of its own and loaded on
// first use, so that the libraries it pulls in (Qt Multimedia and the sound
// server's client, Qt SVG, …) cost a start-up nothing. The library exports
// plain factory functions with C names; callers reach it only through those.
// One object per library; use it from one thread.
class Module {
public:
    // target: the library's CMake target, e.g. "qvanto_sound" for
    // libqvanto_sound.so.
    explicit Module(const QString &target);

    // The function exported as symbol. Loads the library on the first call;
    // throws HostError (FileNotFound) naming the folders searched when the
    // library is not there, or with the loader's reason when it cannot load.
    template<typename Function>
    Function *function(const char *symbol)
    {
        return reinterpret_cast<Function *>(resolve(symbol));
    }

    bool isLoaded() const { return m_library.isLoaded(); }

    // Where modules are looked for, first match wins: beside the program, so
    // a copied folder carries its own, but only when no one but the user and
    // root can write that folder (onlyUserCanWrite): code others could plant
    // is never loaded; then the installed module folder. A program run from
    // its installed folder looks in the installed module folder only. No
    // folder of the build is built in: a copy moved elsewhere loads nothing
    // from where it was built.
    static QStringList searchFolders(const QString &programFolder);

    // For test programs, which are built apart from the modules: `folder`
    // is searched after the program's own folder, under the same rule.
    static void searchAlsoIn(const QString &folder);

private:
    QFunctionPointer resolve(const char *symbol);
    void load();

    QString m_fileName;
    QLibrary m_library;
};

} // namespace host
