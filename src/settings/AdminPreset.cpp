#include "settings/AdminPreset.h"

#include "host/PrivateFolder.h"
#include "host/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bas_QVanto {

int openAdminPreset(const QString &path)
{
    const QString folder = QFileInfo(path).path();
    struct stat owner { };
    if (::stat(QFile::encodeName(folder).constData(), &owner) != 0)
        return -1;
    struct stat st { };
    const int fd = host::openRegularFile(path, O_RDONLY, &st);
    if (fd < 0)
        return -1;
    // Anyone who could change the file or swap the folder could put rows of
    // their own into every user's stamp.
    const bool trusted = (st.st_uid == 0 || st.st_uid == owner.st_uid)
        && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 && host::onlyOwnerCanWrite(folder, owner.st_uid);
    if (!trusted) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace bas_QVanto
