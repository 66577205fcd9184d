#pragma once
// The version page of the update check: META tags read line by line, and
// whether the version it names is newer than the installed one.
#include <string>

// The META names looked for.
struct TVersionTagNames {
    std::string Author = "mxAuthor";
    std::string Email = "mxEmail";
    std::string ClientFileName = "mxClientSideName";
    std::string Download = "mxDownload";
    std::string ProductName = "mxProduct";
    std::string Redirection = "mxRedirection";
    std::string RunParameters = "mxRunParameters";
    std::string Version = "mxVersion";
};

struct TVersionPage {
    std::string ProductName, ProductVersion, UpdateURL, ClientFileName, RedirectionURL;
    std::string Author, Email, RunParameters;
};

// Reads every line holding `META NAME="name" ... CONTENT="value"` (one tag
// a line); names must match exactly, values end at the next quote and are
// at most 255 characters.
TVersionPage ParseVersionPage(const std::string& APage, const TVersionTagNames& ANames = {});

// Numeric per dot-separated field, a missing field counting 0 (1.10 is newer
// than 1.9, 1.0.1 newer than 1.0); a field that is not a number means no
// update.
bool IsNewerVersion(const std::string& ACurrent, const std::string& ANew);
