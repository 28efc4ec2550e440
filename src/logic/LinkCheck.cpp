// SPDX-License-Identifier: GPL-3.0-or-later
// Linked with the whole logic floor and the Qt libraries the floor links itself (Core,
// D-Bus, SQL for the record of turns) only; it builds
// only while the floor uses nothing of Qt GUI or Widgets. It is never run.
int main()
{
    return 0;
}
