#pragma once
// Registers every screen of the program, once (later calls do nothing).
void registraTodasAsTelas();
