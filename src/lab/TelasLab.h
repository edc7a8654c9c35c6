#pragma once
// Registers the laboratory screens (one line per screen).
void registraTelasLab();
