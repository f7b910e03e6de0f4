// The working folder of the commands that write a database (prepare, demo):
// created with the folders above it when it is missing, and taken away
// again when the command fails before it wrote anything there.
#pragma once

#include <string>
#include <vector>

// Creates dir and the folders above it that are missing; returns the
// folders it made, innermost first.  A path that exists is left alone (the
// command then says what is wrong with it).  When a folder can't be made,
// error says why (Windows-1252) and the ones made are removed again.
std::vector<std::string> makefolders(const std::string& dir, std::string& error);

// Removes the folders makefolders made, each only while it is empty (the
// lock file a writing run left in the innermost one first).
void removefolders(const std::vector<std::string>& made);
