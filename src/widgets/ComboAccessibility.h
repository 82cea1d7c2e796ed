#pragma once

// Screen readers on Linux take a drop-down's name from its current item,
// so a column of drop-downs all read "(default)". Once installed, every
// drop-down is announced by its accessible name where it has one, its current item
// as its value, with its list and its text field as children as before.
void InstallComboAccessibility();
