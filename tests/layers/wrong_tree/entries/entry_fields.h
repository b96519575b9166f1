// Core code that pulls in the toolkit.
#pragma once
#include <QString>
