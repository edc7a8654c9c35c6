#pragma once
// Registers the collaboration screens (one line per screen).
void registraTelasColab();
