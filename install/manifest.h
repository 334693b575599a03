// The files the setup installs: for each, the source file's bare name, the
// path of the installed file below the installation directory, and its
// weight in the progress readout, written as decimal text.
#ifndef QUORIX_INSTALL_MANIFEST_H
#define QUORIX_INSTALL_MANIFEST_H

#define MANIFEST_ROWS 93
// The table is one flat list of texts, three a row: row k is entries 3k, 3k+1, 3k+2.
#define MANIFEST_TEXTS (3 * MANIFEST_ROWS)

struct ManifestEntry {
    const char* source;        // a file of the source directory, at most 12 characters
    const char* destination;   // relative to install_dir: a name, or one sub-directory, '\' and a name
    const char* weight;        // the row's share of the work, digits only
};

extern const char* const file_manifest[MANIFEST_TEXTS];

// Row `row` (from 0) of the table.
ManifestEntry manifest_entry(int row);
// Whether `row` is the table's last row, on which the readout shows 100.
int is_last_manifest_row(int row);

#endif
