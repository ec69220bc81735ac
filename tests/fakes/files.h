#pragma once
#include "fakes/fakes.h" // readFile and writeFile
