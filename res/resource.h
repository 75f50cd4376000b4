#pragma once

#define IDI_APP 101
