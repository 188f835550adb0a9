// The guide below the game, where the terminal has rows to spare: the level, the best score in the
// table, how to leave and come back, and what destroyed the ship.
#pragma once

#include <string>

#include "world/WorldData.h"

// The best score of the table as it now stands.
void guideBestScore(int best);
// A practice run says so and shows no best score.
void guidePractice(bool practice);
// A level starts (a game starts on its first): what ended the last game is no longer shown.
void guideLevel(int level);
// The ship was destroyed: by what it moved into (`moved`), or by what came onto its cell.
void guideShipLost(const World& world, bool moved);
// What destroyed the ship at its cell, as the guide names it; "" when nothing there tells.
std::string whatDestroyedShip(const World& world, bool moved);
