#pragma once
// Registers the report parameter screens (one line per screen).
void registraTelasRelatorios();
