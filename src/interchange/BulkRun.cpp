#include "interchange/BulkRun.h"

#include "db/Database.h"
#include "register/RecordEditor.h"
#include "register/Register.h"

namespace sonivera {

BulkRun::BulkRun(RecordEditor& editor, db::Database& database)
    : editor_(editor), bulk_(editor.BulkMode()), writes_(database.Conn()) {
  editor_.SetBulkMode(true);
}

void BulkRun::EndAndShow(Register* reg) {
  editor_.SetBulkMode(bulk_);
  if (reg != nullptr) reg->BuildRegister();
}

BulkRun::~BulkRun() { editor_.SetBulkMode(bulk_); }

}  // namespace sonivera
