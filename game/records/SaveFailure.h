#pragma once

// Why a record file was not saved, as the player is told it.
enum class SaveFailure {
    NONE,
    DISK_FULL,           // no room left, or the file may grow no larger
    FOLDER_NOT_WRITABLE, // the folder is missing, read-only or not ours to write
    KEPT_UNREAD,         // the file was there but unreadable: it is left as it is
    DISK_ERROR,          // the disk itself failed
};
