// The element classes of the model: their copies for the undo history and
// the Duplicate command, and their run-time class records for the element
// factory and the archive. Called once at start-up, before a sign is made
// or read.
#pragma once

void RegisterModelElementClasses();
