// The procedures that change the records: saving and deleting an entry, adding a person.
#include "app/module1.h"

void Module1::SaveEntry() {}
void Module1::DeleteEntryAt(int) {}
void Module1::AddPerson() {}
