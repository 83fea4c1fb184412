// Payment subjects: the second-level subjects bills are settled to, with
// their settlement options, spending rule, credit limit and contact details.
#pragma once
#include <string>

#include "transfer/Run.h"

namespace sx {

// A subject read from a row of the sheet.
struct TSubject2 {
  std::string SubjectCode;
  std::string SubjectName;
  std::string SubjectEName;
  std::string SubjectEName2;
  int PayTag = 1;       // 0: a settlement subject
  int SubjectType = 1;  // balance direction: 0 debit, 1 credit
  std::string Company;
  std::string PostCode;
  std::string Address;
  std::string Tele;
  std::string Fax;
  std::string Contact;
  std::string Mobile;
  double CreditLimit = 0;
  std::string Remark;
  int QuickUse = 0;
  int PayMemoTag = 0;
  int NoChange = 0;
  int PayVisible = 0;
  double BillCost = 0;
  double UseAmount = 0;
  int CanInvoice = 0;
};

namespace uSubject2IO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uSubject2IO

}  // namespace sx
