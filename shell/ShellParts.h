// Makes every library's classes and sign parts known: called once at start-up
// by both programs, before a sign is made or read.
#pragma once

void RegisterAllClasses();
