// The program's version: the one place both the resource script and the code read it.
#ifndef KELVARIN_RES_VERSION_H
#define KELVARIN_RES_VERSION_H

#define KELVARIN_PRODUCT_NAME "Kelvarin"
#define KELVARIN_FILE_DESCRIPTION "Kelvarin"
#define KELVARIN_VERSION_TEXT "0.1D"
#define KELVARIN_VERSION_FIXED 0, 0, 1, 13
#define KELVARIN_COMPANY_NAME "Kelvarin developers"
#define KELVARIN_LEGAL_COPYRIGHT "Copyright (C) 2026 Kelvarin developers"
#define KELVARIN_INTERNAL_NAME "Kelvarin"
#define KELVARIN_ORIGINAL_FILENAME "Kelvarin.exe"
// Where users find the program: the About box's link text and what it opens.
#define KELVARIN_SUPPORT_URL "https://kelvarin.github.io/"
// The About box's title one opening in a thousand.
#define KELVARIN_TAGLINE "いつも画面の片隅に"

#endif
