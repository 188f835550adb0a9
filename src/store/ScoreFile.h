// The score table's file, $HOME/.gridfall/highscore: the one way to it. Outside the store the table
// is five scores, best first; its file, its folder, its lock and its hash are known here alone.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/StoreNames.h"  // the table's size

// The file as a message names it.
std::string scoreTableName();

// The table as stored, its best five first; nothing when no table is stored yet. Creates nothing,
// and refuses a folder that play would refuse.
std::optional<std::vector<int>> readScoreTable();

// Before a game: the folder is private (made when missing), a table's worth of bytes can be saved
// there with a block left for the run's journal, and a stored table reads. Returns the table (five
// zeros when there is none yet); throws the store's error otherwise.
std::vector<int> checkScoreTable();

// The table to save, given the one stored (five zeros when there is none); nothing leaves the file
// as it is.
using TableChange = std::function<std::optional<std::vector<int>>(const std::vector<int>& stored)>;
// Under the table's lock, from the read to the save, so that games ending together all keep their
// scores: reads the table, asks `change` what to save and saves it. Returns whether it saved.
bool changeScoreTable(const TableChange& change);

// Entry `place` (1 to 5) of the table as the end screen and --scores write it: "1: 2400 points".
std::string scoreLine(int place, int entry);
