#include "register/group_script.h"

#include <cstdio>
#include <cstring>

#include "setup/text.h"

// Each command is assembled here before it goes into the script. The longest
// one, the "Overview" item for a directory of 131 characters, has 325.
#define COMMAND_SIZE 512
// The icon index as text: ",%d)]" of a small number.
#define ICON_TEXT_SIZE 20

const GroupItem group_items[GROUP_ITEM_COUNT] = {
    {"qrxman.exe", "QRXMAN"},
    {"qrxhlp.exe", "QRXHLP"},
    {"qrxdrv_w.exe", "QRXDRV"},
    {"qrxtif_w.exe", "QRXTIF"},
    {"qrximg_w.exe", "QRXIMG"},
    {"qrxmov_w.exe", "QRXMOV"},
    {"qrxaps_w.exe", "QRXAPS"},
    {"readme.exe", "Overview"},
    {"readme.exe", "Readme"},
};

const int group_icons[GROUP_ITEM_COUNT] = {36, 36, 6, 6, 6, 6, 6, 40, 40};

// The two items that open a document of the installation: the document follows the program after two blanks.
static void append_document(char* command, const char* directory, const char* title)
{
    if (strcmp(title, "Readme") == 0) {
        append_text(command, COMMAND_SIZE, "  ");
        append_text(command, COMMAND_SIZE, directory);
        append_text(command, COMMAND_SIZE, "\\readme.dvf");
    }
    if (strcmp(title, "Overview") == 0) {
        append_text(command, COMMAND_SIZE, "  ");
        append_text(command, COMMAND_SIZE, directory);
        append_text(command, COMMAND_SIZE, "\\quorix.inf");
    }
}

void build_group_script(const char* directory, char* commands)
{
    char command[COMMAND_SIZE];
    char icon[ICON_TEXT_SIZE];

    // The group is made, deleted and made again, so that it ends up holding
    // exactly the items below whatever it held before.
    copy_text(command, sizeof command, "[CreateGroup(QRXDVF,");
    append_text(command, sizeof command, directory);
    append_text(command, sizeof command, "\\quorix)]");
    copy_text(commands, DDE_COMMANDS_SIZE, command);
    append_text(commands, DDE_COMMANDS_SIZE, "[DeleteGroup(QRXDVF)]");
    append_text(commands, DDE_COMMANDS_SIZE, command);

    for (int row = 0; row < GROUP_ITEM_COUNT; row++) {
        copy_text(command, sizeof command, "[AddItem(");
        append_text(command, sizeof command, directory);
        append_text(command, sizeof command, "\\win\\");
        append_text(command, sizeof command, group_items[row].program);
        append_document(command, directory, group_items[row].title);
        append_text(command, sizeof command, ",");
        append_text(command, sizeof command, group_items[row].title);
        append_text(command, sizeof command, ",progman.exe");
        snprintf(icon, sizeof icon, ",%d)]", group_icons[row]);
        append_text(command, sizeof command, icon);
        if (strlen(command) + strlen(commands) < SCRIPT_ADMISSION_LIMIT)
            append_text(commands, DDE_COMMANDS_SIZE, command);
        else
            MessageBoxA(NULL, "Not enough memory to add item", "ZKV Setup", MB_OK);
    }
    append_text(commands, DDE_COMMANDS_SIZE, "[ShowGroup(1)]");
}
